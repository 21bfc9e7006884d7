#include "measure/shell/recovery.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "measure/model/project_file.h"
#include "measure/model/test_photos.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::TempDir;

std::string ReadFile(const std::string& path) {
  std::string bytes;
  common::ReadWholeFile(path, &bytes);
  return bytes;
}

// A process that has surely ended: a child reaped at once.
long GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(Recovery, FolderAndNames) {
  EXPECT_EQ(RecoveryFolder("/data", "/home/u"), "/data/Vistamet/recovery");
  EXPECT_EQ(RecoveryFolder("", "/home/u"), "/home/u/.local/share/Vistamet/recovery");
  EXPECT_EQ(RecoveryFolder("relative", "/home/u"), "/home/u/.local/share/Vistamet/recovery");
  // One name per project, whichever process writes it; untitled ones apart.
  EXPECT_EQ(RecoveryStem("/p/a.vmt", 10, 0), RecoveryStem("/p/a.vmt", 11, 3));
  EXPECT_NE(RecoveryStem("/p/a.vmt", 10, 0), RecoveryStem("/p/b.vmt", 10, 0));
  EXPECT_NE(RecoveryStem("", 10, 0), RecoveryStem("", 10, 1));
  EXPECT_NE(RecoveryStem("", 10, 0), RecoveryStem("", 11, 0));
}

TEST(Recovery, OnlyWhatAGoneProcessLeftIsOffered) {
  TempDir dir;
  const std::string folder = dir.File("share/Vistamet/recovery");
  ASSERT_TRUE(WriteRecovery(folder, "mine", dir.File("a.vmt"), ::getpid(), "A", nullptr));
  ASSERT_TRUE(WriteRecovery(folder, "gone", "", GonePid(), "B", nullptr));
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);  // a user's work, for the user only

  const std::vector<RecoveryFile> found = OrphanedRecoveries(folder);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].stem, "gone");
  EXPECT_EQ(found[0].project, "");
  EXPECT_EQ(ReadFile(found[0].data), "B");
  RemoveRecovery(folder, "gone");
  EXPECT_TRUE(OrphanedRecoveries(folder).empty());
  EXPECT_TRUE(OrphanedRecoveries(dir.File("missing")).empty());
}

TEST(Recovery, DamagedOwnerFilesAreIgnored) {
  TempDir dir;
  const std::string folder = dir.File("r");
  ASSERT_TRUE(WriteRecovery(folder, "x", "", GonePid(), "X", nullptr));
  for (const char* owner : {"", "12", "abc\n/p\n", "-5\n/p\n", "99999999999999999999999\n"}) {
    common::SaveFileAtomically(folder + "/x.owner", owner);
    EXPECT_TRUE(OrphanedRecoveries(folder).empty()) << owner;
  }
  // An owner without its data is no recovery either.
  common::SaveFileAtomically(folder + "/y.owner", "1\n\n");
  EXPECT_TRUE(OrphanedRecoveries(folder).empty());
}

TEST(Recovery, NeverWrittenOverTheProject) {
  TempDir dir;
  const std::string folder = dir.File("r");
  const std::string stem = RecoveryStem(folder + "/p.vmt", 1, 0);
  ::mkdir(folder.c_str(), 0700);
  const std::string project = folder + "/" + stem + ".vmt";
  common::SaveFileAtomically(project, "saved");
  std::string error;
  EXPECT_FALSE(WriteRecovery(folder, stem, project, ::getpid(), "changed", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(project), "saved");
}

// A writer killed after an edit leaves its recovery: found for the project,
// newer than it, holding the edit, and the project file as it was. Once the
// project is saved again, the recovery is stale and goes.
TEST(Recovery, AProcessKilledAfterAnEditLeavesItsRecovery) {
  TempDir dir;
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject({testing::WritePhoto(dir.File("p1.bmp")),
                                testing::WritePhoto(dir.File("p2.bmp"), 16, 12, 1)}),
            1);
  doc.AddImagePoint(3, 4);
  doc.AddImagePoint(5, 6);
  const std::string project = dir.File("job.vmt");
  ASSERT_EQ(SaveProjectFile(doc, project), 1);
  const std::string saved = ReadFile(project);
  const std::string folder = dir.File("data/Vistamet/recovery");

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    CVistametDoc edited;
    const bool ok = LoadProjectFile(project, &edited).ok() && edited.DeleteImagePoint(0) &&
                    WriteRecovery(folder, RecoveryStem(project, ::getpid(), 0), project,
                                  ::getpid(), WriteProjectBytes(edited), nullptr);
    const char done = ok ? '1' : '0';
    if (::write(ready[1], &done, 1) != 1) ::_exit(2);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char done = 0;
  ASSERT_EQ(::read(ready[0], &done, 1), 1);
  ::close(ready[0]);
  RecoveryFile file;
  EXPECT_FALSE(FindRecoveryFor(folder, project, &file));  // its writer still runs
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_EQ(done, '1');
  ASSERT_TRUE(WIFSIGNALED(status));

  ASSERT_TRUE(FindRecoveryFor(folder, project, &file));
  EXPECT_EQ(file.pid, child);
  EXPECT_EQ(ReadFile(project), saved);
  CVistametDoc recovered;
  ASSERT_TRUE(ReadProjectBytes(ReadFile(file.data), project, &recovered).ok());
  EXPECT_EQ(recovered.imagePoints.size(), 1u);
  EXPECT_EQ(recovered.imagePoints[0].x, 5);

  // The project saved after the recovery was written.
  struct timespec later[2] = {{0, UTIME_OMIT}, {0, 0}};
  struct stat st {};
  ASSERT_EQ(::stat(file.data.c_str(), &st), 0);
  later[1].tv_sec = st.st_mtim.tv_sec + 10;
  ASSERT_EQ(::utimensat(AT_FDCWD, project.c_str(), later, 0), 0);
  EXPECT_FALSE(FindRecoveryFor(folder, project, &file));
  EXPECT_FALSE(common::FileExists(file.data));
}

}  // namespace
}  // namespace vistamet
