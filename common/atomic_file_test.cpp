#include "common/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

namespace common {
namespace {

namespace fs = std::filesystem;

// Runs `body` in a child process and returns its exit status, or 128 plus
// the signal that ended it. With `as_nobody` the child first drops the
// superuser's rights, so that permissions apply to it.
// With `seconds`, the child is stopped by SIGALRM after that long.
int InChild(const std::function<int()>& body, bool as_nobody = false, unsigned seconds = 0) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (seconds) ::alarm(seconds);
    if (as_nobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(99);
    _exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Read(const std::string& path) {
  std::string back;
  ReadWholeFile(path, &back);
  return back;
}

size_t Entries(const std::string& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}));
}

// A disk that fills after `room` more bytes.
size_t g_room = 0;
ssize_t WriteUntilFull(int fd, const void* data, size_t size) {
  if (g_room == 0) {
    errno = ENOSPC;
    return -1;
  }
  const size_t n = std::min(size, g_room);
  g_room -= n;
  return ::write(fd, data, n);
}
int FailingChmod(int, mode_t) {
  errno = EPERM;
  return -1;
}

class FaultsOff {
 public:
  explicit FaultsOff(const FileWriterFaults& f) { SetFileWriterFaultsForTesting(f); }
  ~FaultsOff() { SetFileWriterFaultsForTesting({}); }
};

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/atomic_file_test.XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(AtomicFileTest, SavesReplacesAndKeepsPermissions) {
  const std::string path = dir_ + "/a.txt";
  ASSERT_TRUE(SaveFileAtomically(path, "first"));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(SaveFileAtomically(path, std::string("sec\0ond", 7)));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, &back));
  EXPECT_EQ(back, std::string("sec\0ond", 7));
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(AtomicFileTest, FailedSaveLeavesTheOldFileIntact) {
  const std::string path = dir_ + "/keep.txt";
  ASSERT_TRUE(SaveFileAtomically(path, "precious"));
  std::string error;
  // The target is a directory: rename fails after the data was written.
  const std::string blocked = dir_ + "/sub";
  fs::create_directory(blocked);
  fs::create_directory(blocked + "/x");
  EXPECT_FALSE(SaveFileAtomically(blocked, "data", &error));
  EXPECT_FALSE(error.empty());
  // A folder that does not exist.
  EXPECT_FALSE(SaveFileAtomically(dir_ + "/missing/f.txt", "data", &error));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, &back));
  EXPECT_EQ(back, "precious");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 2);
}

TEST_F(AtomicFileTest, ReadRefusesMissingFilesAndFolders) {
  std::string out, error;
  EXPECT_FALSE(ReadWholeFile(dir_ + "/none", &out, &error));
  EXPECT_NE(error.find("none"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile(dir_, &out, &error));
  // A FIFO is refused at once instead of waiting for a writer.
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(InChild([&] { return ReadWholeFile(fifo, &out, &error) ? 1 : 0; }, false, 5), 0);
  EXPECT_FALSE(ReadWholeFile("/dev/zero", &out, &error));
}

TEST(PathParts, HandlesWindowsAndPosixPaths) {
  EXPECT_EQ(BaseName("D:\\survey\\p1.bmp"), "p1.bmp");
  EXPECT_EQ(BaseName("/home/u/p2.bmp"), "p2.bmp");
  EXPECT_EQ(BaseName("p3.bmp"), "p3.bmp");
  EXPECT_EQ(DirName("/home/u/p2.bmp"), "/home/u");
  EXPECT_EQ(DirName("p3.bmp"), "");
  EXPECT_EQ(DirName("/p.bmp"), "/");
}

TEST_F(AtomicFileTest, SameFileSeesThroughLinks) {
  const std::string a = dir_ + "/a", b = dir_ + "/b";
  ASSERT_TRUE(SaveFileAtomically(a, "x"));
  ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
  EXPECT_TRUE(SameFile(a, b));
  EXPECT_TRUE(SameFile(a, dir_ + "/./a"));
  EXPECT_FALSE(SameFile(a, dir_ + "/none"));
}

TEST_F(AtomicFileTest, WriterStreamsThroughLinksAndDropsUnfinishedFiles) {
  const std::string real = dir_ + "/real.txt";
  const std::string link = dir_ + "/link.txt";
  ASSERT_TRUE(SaveFileAtomically(real, "old"));
  ASSERT_EQ(::symlink("real.txt", link.c_str()), 0);
  std::string error;
  {
    AtomicFileWriter out;
    ASSERT_TRUE(out.Create(link, &error)) << error;
    ASSERT_TRUE(out.Write("new ", &error));
    ASSERT_TRUE(out.Write("content", &error));
    ASSERT_TRUE(out.Commit(&error)) << error;
  }
  std::string back;
  ASSERT_TRUE(ReadWholeFile(real, &back));
  EXPECT_EQ(back, "new content");
  EXPECT_TRUE(fs::is_symlink(link));  // the link stays a link
  {
    AtomicFileWriter out;  // dropped before Commit: nothing changes
    ASSERT_TRUE(out.Create(real, &error));
    ASSERT_TRUE(out.Write("half", &error));
  }
  ASSERT_TRUE(ReadWholeFile(real, &back));
  EXPECT_EQ(back, "new content");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 2);
  AtomicFileWriter folder;
  EXPECT_FALSE(folder.Create(dir_, &error));
  EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
  EXPECT_FALSE(folder.Write("x", &error));
  EXPECT_FALSE(folder.Commit(&error));
}

TEST_F(AtomicFileTest, FullDiskOrFailedChmodLeavesTheOldFileAndNoTemporary) {
  const std::string path = dir_ + "/full.txt";
  ASSERT_TRUE(SaveFileAtomically(path, "old contents"));
  const std::string big(200000, 'n');
  for (size_t room : {size_t{0}, size_t{1}, size_t{4096}, size_t{65536}, big.size() - 1}) {
    FaultsOff faults({WriteUntilFull, nullptr});
    g_room = room;
    std::string error;
    EXPECT_FALSE(SaveFileAtomically(path, big, &error)) << room;
    EXPECT_NE(error.find("No space"), std::string::npos) << error;
    EXPECT_EQ(Read(path), "old contents");
    EXPECT_EQ(Entries(dir_), 1u);
  }
  {
    FaultsOff faults({nullptr, FailingChmod});
    std::string error;
    EXPECT_FALSE(SaveFileAtomically(path, "new", &error));
    EXPECT_NE(error.find("permissions"), std::string::npos) << error;
    EXPECT_EQ(Read(path), "old contents");
    EXPECT_EQ(Entries(dir_), 1u);
  }
}

TEST_F(AtomicFileTest, FileSizeLimitFailsTheSaveAtEverySize) {
  const std::string path = dir_ + "/limited.txt";
  const std::string old_bytes(30000, 'o');
  const std::string new_bytes(70000, 'n');
  ASSERT_TRUE(SaveFileAtomically(path, old_bytes));
  for (rlim_t limit : {0, 1, 511, 4096, 29999, 30000, 65536, 69999, 70000, 100000}) {
    const int status = InChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      const struct rlimit rl = {limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &rl);
      return SaveFileAtomically(path, new_bytes) ? 0 : 1;
    });
    const bool fits = limit >= new_bytes.size();
    EXPECT_EQ(status, fits ? 0 : 1) << limit;
    EXPECT_EQ(Read(path), fits ? new_bytes : old_bytes) << limit;
    EXPECT_EQ(Entries(dir_), 1u) << limit;
    ASSERT_TRUE(SaveFileAtomically(path, old_bytes));
  }
}

TEST_F(AtomicFileTest, KilledSavesLeaveOldOrNewBytesAndTheNextSaveCleansUp) {
  const std::string path = dir_ + "/killed.txt";
  const std::string a(1500000, 'a'), b(900000, 'b');
  ASSERT_TRUE(SaveFileAtomically(path, a));
  std::mt19937 random(17);
  for (int round = 0; round < 20; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0;; ++i) SaveFileAtomically(path, i % 2 ? a : b);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string now = Read(path);
    EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
  ASSERT_TRUE(SaveFileAtomically(path, "after"));
  EXPECT_EQ(Read(path), "after");
  EXPECT_EQ(Entries(dir_), 1u);  // no temporary file of the killed runs is left
}

TEST_F(AtomicFileTest, LeftoversOfOtherFilesAndLiveWritersAreKept) {
  const std::string path = dir_ + "/f.txt";
  ASSERT_TRUE(SaveFileAtomically(dir_ + "/.g.txt.saving-abcdef", "other file's"));
  AtomicFileWriter live;
  std::string error;
  ASSERT_TRUE(live.Create(path, &error)) << error;
  ASSERT_TRUE(SaveFileAtomically(path, "x"));  // a second writer of the same file
  EXPECT_EQ(Entries(dir_), 3u);
  ASSERT_TRUE(live.Write("live", &error));
  ASSERT_TRUE(live.Commit(&error)) << error;
  EXPECT_EQ(Read(path), "live");
}

TEST_F(AtomicFileTest, HardLinkedFileIsWrittenInPlaceOnlyWhenComplete) {
  const std::string a = dir_ + "/a", b = dir_ + "/b";
  ASSERT_TRUE(SaveFileAtomically(a, "old"));
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  {
    FaultsOff faults({WriteUntilFull, nullptr});
    g_room = 10;
    EXPECT_FALSE(SaveFileAtomically(a, std::string(5000, 'x')));
  }
  EXPECT_EQ(Read(b), "old");
  ASSERT_TRUE(SaveFileAtomically(a, "new and longer"));
  EXPECT_EQ(Read(b), "new and longer");
  ASSERT_TRUE(SaveFileAtomically(b, "s"));  // shorter: the rest is cut off
  EXPECT_EQ(Read(a), "s");
  EXPECT_TRUE(SameFile(a, b));
  EXPECT_EQ(Entries(dir_), 2u);
}

TEST_F(AtomicFileTest, LinksAreFollowedEvenToMissingFiles) {
  const std::string link = dir_ + "/link", real = dir_ + "/sub/real";
  fs::create_directory(dir_ + "/sub");
  ASSERT_EQ(::symlink("sub/real", link.c_str()), 0);
  ASSERT_TRUE(SaveFileAtomically(link, "through"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real), "through");
  // A loop of links is refused and left as it is.
  const std::string a = dir_ + "/loop-a", b = dir_ + "/loop-b";
  ASSERT_EQ(::symlink("loop-b", a.c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", b.c_str()), 0);
  std::string error;
  EXPECT_FALSE(SaveFileAtomically(a, "x", &error));
  EXPECT_NE(error.find("symbolic links"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_symlink(a));
}

TEST_F(AtomicFileTest, SpecialFilesAreWrittenInPlaceAndNeverReplaced) {
  std::string error;
  EXPECT_TRUE(SaveFileAtomically("/dev/null", "gone", &error)) << error;
  EXPECT_FALSE(SaveFileAtomically("/dev/full", "data", &error));
  EXPECT_NE(error.find("No space"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  const std::string fifo = dir_ + "/pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string got;
  std::thread reader([&] {
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
    ::close(fd);
  });
  const std::string data(100000, 'p');
  EXPECT_TRUE(SaveFileAtomically(fifo, data, &error)) << error;
  reader.join();
  EXPECT_EQ(got, data);
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(AtomicFileTest, WriteProtectedFilesAndReadOnlyFolders) {
  const std::string locked = dir_ + "/locked.txt";
  ASSERT_TRUE(SaveFileAtomically(locked, "keep"));
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  std::string error;
  EXPECT_FALSE(SaveFileAtomically(locked, "lost", &error));
  EXPECT_NE(error.find("write-protected"), std::string::npos) << error;
  EXPECT_EQ(Read(locked), "keep");

  // A writable file in a folder where nothing can be created.
  const std::string folder = dir_ + "/ro", file = folder + "/open.txt";
  fs::create_directory(folder);
  ASSERT_TRUE(SaveFileAtomically(file, "old text"));
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  struct stat before;
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  const int status = InChild(
      [&] {
        if (!SaveFileAtomically(file, "new")) return 1;
        return SaveFileAtomically(folder + "/new.txt", "x") ? 2 : 0;
      },
      true);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Read(file), "new");
  struct stat after;
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(Entries(folder), 1u);
}

}  // namespace
}  // namespace common
