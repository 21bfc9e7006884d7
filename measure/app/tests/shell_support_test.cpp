// The window-free helpers of the shell: desktop launcher, program lookup,
// background work, number fields.
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "measure/app/background_worker.h"
#include "measure/app/desktop_integration.h"
#include "measure/app/range_validator.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

TEST(DesktopEntry, QuotesTheProgramPath) {
  const std::string text = DesktopEntryText("/opt/my apps/\"v\"$x\\50%/Vistamet");
  EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
  EXPECT_NE(text.find("Name=Vistamet\n"), std::string::npos);
  EXPECT_NE(text.find("Comment=/opt/my apps/\"v\"$x\\\\50%/Vistamet\n"), std::string::npos);
  EXPECT_NE(text.find("Exec=\"/opt/my apps/\\\\\"v\\\\\"\\\\$x\\\\\\\\50%%/Vistamet\" %f\n"),
            std::string::npos)
      << text;
}

TEST(DesktopEntry, WrittenExecutableOnlyIntoAnExistingFolder) {
  TempDir dir;
  ASSERT_TRUE(WriteDesktopShortcut(dir.path(), "/usr/bin/Vistamet"));
  const std::string path = dir.File(kDesktopShortcutName);
  EXPECT_EQ(ReadFile(path), DesktopEntryText("/usr/bin/Vistamet"));
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  // Written again over the old one.
  ASSERT_TRUE(WriteDesktopShortcut(dir.path() + "/", "/other/Vistamet"));
  EXPECT_EQ(ReadFile(path), DesktopEntryText("/other/Vistamet"));
  EXPECT_FALSE(WriteDesktopShortcut(dir.File("no-such-folder"), "/usr/bin/Vistamet"));
  EXPECT_FALSE(WriteDesktopShortcut("", "/usr/bin/Vistamet"));
}

TEST(DesktopEntry, DesktopFolderFromTheUsersDirectories) {
  TempDir config;
  EXPECT_EQ(DesktopFolder("/home/u", config.path()), "/home/u/Desktop");
  common::SaveFileAtomically(config.File("user-dirs.dirs"),
                             "# written by xdg-user-dirs-update\n"
                             "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                             "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
  EXPECT_EQ(DesktopFolder("/home/u", config.path()), "/home/u/桌面");
  common::SaveFileAtomically(config.File("user-dirs.dirs"), "XDG_DESKTOP_DIR=\"/data/desk\"\n");
  EXPECT_EQ(DesktopFolder("/home/u", config.path()), "/data/desk");
  common::SaveFileAtomically(config.File("user-dirs.dirs"), "XDG_DESKTOP_DIR=relative\n");
  EXPECT_EQ(DesktopFolder("/home/u", config.path()), "/home/u/Desktop");
}

TEST(FindProgram, FirstExecutableCandidateOnTheSearchPath) {
  TempDir a, b;
  auto make = [](const std::string& path, mode_t mode) {
    common::SaveFileAtomically(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), mode);
  };
  make(a.File("kcalc"), 0644);  // not executable
  make(b.File("kcalc"), 0755);
  make(b.File("xcalc"), 0755);
  const std::string search = a.path() + ":" + b.path();
  EXPECT_EQ(FindProgram({"gnome-calc-missing", "kcalc", "xcalc"}, search), b.File("kcalc"));
  EXPECT_EQ(FindProgram({"xcalc"}, a.path()), "");
  EXPECT_EQ(FindProgram({b.File("xcalc")}, ""), b.File("xcalc"));
  EXPECT_EQ(FindProgram({a.File("kcalc")}, search), "");
  EXPECT_EQ(FindProgram({}, search), "");
  EXPECT_EQ(FolderOf("/usr/bin/Vistamet"), "/usr/bin/");
  EXPECT_EQ(FolderOf("Vistamet"), "");
}

TEST(BackgroundWorker, FinishedWorkHandsOverItsEditOnce) {
  BackgroundWorker worker;
  std::atomic<int> calls{0};
  DocumentEdit received;
  ASSERT_TRUE(worker.Start(
      [](const std::atomic<bool>&) -> DocumentEdit { return [](CVistametDoc& d) { d.adjusted = 7; }; },
      [&](DocumentEdit edit) {
        received = std::move(edit);
        ++calls;
      }));
  worker.Join();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(worker.Running());
  CVistametDoc doc;
  ASSERT_TRUE(received);
  received(doc);
  EXPECT_EQ(doc.adjusted, 7);
}

TEST(BackgroundWorker, StoppedWorkCallsNothing) {
  std::atomic<int> calls{0};
  {
    BackgroundWorker worker;
    ASSERT_TRUE(worker.Start(
        [](const std::atomic<bool>& stop) -> DocumentEdit {
          while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          return {};
        },
        [&](DocumentEdit) { ++calls; }));
    EXPECT_TRUE(worker.Running());
    // One at a time.
    EXPECT_FALSE(worker.Start([](const std::atomic<bool>&) { return DocumentEdit(); }, {}));
  }  // the destructor stops and joins
  EXPECT_EQ(calls, 0);
  BackgroundWorker idle;
  EXPECT_FALSE(idle.Start({}, {}));
  idle.Stop();  // nothing to stop
}

TEST(NumberFields, FormatAndParseIndependentOfTheLocale) {
  EXPECT_EQ(FormatReal(0.0005), "0.0005");
  EXPECT_EQ(FormatReal(7.52), "7.52");
  EXPECT_EQ(FormatReal(1.5), "1.5");
  EXPECT_EQ(FormatReal(0.000001), "1e-06");
  EXPECT_EQ(FormatReal(-10000), "-10000");
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case reals[] = {{" 1.5 ", true, 1.5}, {"+2", true, 2},   {"-0.25", true, -0.25},
                        {"1e3", true, 1000},  {"1,5", false, 0}, {"", false, 0},
                        {"1e400", false, 0},  {"nan", false, 0}, {"1.5x", false, 0}};
  for (const Case& c : reals) {
    double v = -1;
    EXPECT_EQ(ParseReal(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  int32_t n = 0;
  EXPECT_TRUE(ParseInteger(" 42", &n));
  EXPECT_EQ(n, 42);
  EXPECT_FALSE(ParseInteger("4.0", &n));
  EXPECT_FALSE(ParseInteger("99999999999", &n));
  EXPECT_FALSE(ParseInteger("", &n));
}

}  // namespace
}  // namespace vistamet::test
