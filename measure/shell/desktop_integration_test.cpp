#include "measure/shell/desktop_integration.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::TempDir;

std::string ReadFile(const std::string& path) {
  std::string bytes;
  common::ReadWholeFile(path, &bytes);
  return bytes;
}

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

TEST(ShippedData, BesideTheProgramFirstThenTheInstalledShareFolder) {
  TempDir prefix;
  ::mkdir(prefix.File("bin").c_str(), 0755);
  ::mkdir(prefix.File("share").c_str(), 0755);
  ::mkdir(prefix.File("share/vistamet").c_str(), 0755);
  ::mkdir(prefix.File("share/vistamet/guide.html").c_str(), 0755);  // a folder is no file
  const std::string bin = prefix.File("bin") + "/";
  EXPECT_EQ(ShippedDataFile(bin, "guide.html"), "");

  common::SaveFileAtomically(prefix.File("share/vistamet/symbols.dat"), "s");
  EXPECT_EQ(ShippedDataFile(bin, "symbols.dat"), bin + "../share/vistamet/symbols.dat");

  common::SaveFileAtomically(bin + "symbols.dat", "b");  // a build tree
  EXPECT_EQ(ShippedDataFile(bin, "symbols.dat"), bin + "symbols.dat");
  EXPECT_EQ(ShippedDataFile(bin, "missing.dat"), "");
}

}  // namespace
}  // namespace vistamet
