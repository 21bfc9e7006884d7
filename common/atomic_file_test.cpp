#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace common {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace common
