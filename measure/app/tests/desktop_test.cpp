// What the program shares with every other desktop program: wx's own texts
// in Chinese, undo and redo, autosave and recovery.
#include <libintl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/intl.h>
#include <wx/stdpaths.h>
#include <wx/stockitem.h>

#include "common/gui/chinese_texts.h"
#include "common/scoped_locale.h"
#include "common/atomic_file.h"
#include "measure/app/autosave.h"
#include "measure/app/command_ids.h"
#include "measure/app/project_history.h"
#include "measure/model/project_file.h"
#include "tests/gui_test_support.h"

namespace vistamet {
namespace {

using test::Frame;
using test::Pump;
using test::QueryUi;
using test::SendCommand;

wxString U(const char* s) { return wxString::FromUTF8(s); }

TEST(ChineseStockTexts, WxOwnButtonsDialogsAndPreviewSpeakChinese) {
  // A stock button without a label of ours, as the standard dialogs make them.
  wxButton cancel(&Frame(), wxID_CANCEL);
  EXPECT_TRUE(cancel.GetLabel().StartsWith(U("取消"))) << cancel.GetLabel();
  EXPECT_EQ(wxGetStockLabel(wxID_CLOSE, wxSTOCK_NOFLAGS), U("关闭"));
  // The print preview's toolbar and a message box's buttons.
  EXPECT_EQ(wxGetTranslation("Print Preview"), U("预览打印"));
  // The toolkit's own buttons (message boxes, file dialogs) come from its
  // catalogue under the messages locale.
  EXPECT_EQ(wxString::FromUTF8(dgettext("gtk30", "_Cancel")), U("取消(_C)"));
}

TEST(ChineseStockTexts, LoadingTheCatalogueLeavesNumbersAlone) {
  common::ScopedLocale comma(LC_NUMERIC, common::kCommaDecimalLocale);
  ASSERT_TRUE(comma.ok()) << "scripts/setup.sh generates the test locale";
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  const std::string collate = std::setlocale(LC_COLLATE, nullptr);
  EXPECT_TRUE(common::UseChineseStockTexts(wxStandardPaths::Get().GetExecutablePath()));
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric);
  EXPECT_EQ(std::setlocale(LC_COLLATE, nullptr), collate);
  EXPECT_EQ(std::string(std::setlocale(LC_MESSAGES, nullptr)).substr(0, 5), "zh_CN");
  EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), U("取消"));
}

class UndoTest : public testing::Test {
 protected:
  void SetUp() override {
    test::CloseAllDocuments();
    path_ = test::WriteProject(dir_, "undo.vmt");
    doc_ = test::Open(path_);
    ASSERT_NE(doc_, nullptr);
    Pump();
  }
  void TearDown() override { test::CloseAllDocuments(); }

  std::string Bytes() const { return WriteProjectBytes(doc_->Core()); }
  // A change made as a view makes it: on the core, then the event loop.
  void Change(const std::function<void(CVistametDoc&)>& change) {
    change(doc_->Core());
    Pump();
  }

  test::TempDir dir_;
  std::string path_;
  CProjectDocument* doc_ = nullptr;
};

TEST_F(UndoTest, EditMenuUndoesAndRedoesNamingTheStep) {
  const std::string opened = Bytes();
  EXPECT_FALSE(QueryUi(wxID_UNDO).enabled);
  EXPECT_FALSE(QueryUi(wxID_REDO).enabled);
  EXPECT_EQ(QueryUi(wxID_UNDO).text, U("撤消(&U)\tCtrl+Z"));

  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  const std::string deleted = Bytes();
  ASSERT_NE(deleted, opened);
  EXPECT_TRUE(doc_->IsModified());
  test::UiState undo = QueryUi(wxID_UNDO);
  EXPECT_TRUE(undo.enabled);
  EXPECT_EQ(undo.text, U("撤消删除特征点(&U)\tCtrl+Z"));

  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), opened);
  EXPECT_FALSE(doc_->IsModified());  // back at the state on disk
  EXPECT_EQ(QueryUi(wxID_REDO).text, U("重做删除特征点(&R)\tCtrl+Y"));
  EXPECT_FALSE(QueryUi(wxID_UNDO).enabled);

  SendCommand(wxID_REDO);
  EXPECT_EQ(Bytes(), deleted);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_FALSE(QueryUi(wxID_REDO).enabled);
}

TEST_F(UndoTest, MenuCommandsAreStepsAndANewChangeDropsTheRedo) {
  const std::string opened = Bytes();
  SendCommand(kCmdSweepAll);  // the unnumbered points of every photo
  Pump();
  const std::string swept = Bytes();
  ASSERT_NE(swept, opened);
  EXPECT_EQ(QueryUi(wxID_UNDO).text, U("撤消删除特征点(&U)\tCtrl+Z"));
  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), opened);

  // Several changes of one command are one step.
  Change([](CVistametDoc& d) {
    d.RemoveDistance(0);
    d.DeleteSpacePoint(2, true);
  });
  EXPECT_FALSE(QueryUi(wxID_REDO).enabled);
  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), opened);
  EXPECT_FALSE(QueryUi(wxID_UNDO).enabled);
}

TEST_F(UndoTest, SavingKeepsTheHistoryAndTheModifiedFlagFollowsTheSavedState) {
  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  const std::string one = Bytes();
  Change([](CVistametDoc& d) { d.RemoveDistance(0); });
  const std::string two = Bytes();
  ASSERT_TRUE(doc_->Save());
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(test::ReadFile(path_), two);

  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), one);
  EXPECT_TRUE(doc_->IsModified());
  SendCommand(wxID_REDO);
  EXPECT_EQ(Bytes(), two);
  EXPECT_FALSE(doc_->IsModified());

  // Saved after an undo: that state is the clean one, and both ways from it
  // are changes.
  SendCommand(wxID_UNDO);
  SendCommand(wxID_UNDO);
  ASSERT_TRUE(doc_->Save());
  EXPECT_FALSE(doc_->IsModified());
  SendCommand(wxID_REDO);
  EXPECT_TRUE(doc_->IsModified());
  SendCommand(wxID_UNDO);
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(test::ReadFile(path_), Bytes());
}

// A command that opens a dialog between its changes (the dialog runs its
// own event loop, idle time included) is still one step.
TEST_F(UndoTest, ADialogInsideACommandDoesNotSplitItsStep) {
  const std::string opened = Bytes();
  Change([](CVistametDoc& d) {
    d.DeleteImagePoint(0);
    wxEventLoop dialog_loop;
    wxTheApp->CallAfter([&dialog_loop] {
      wxTheApp->ProcessIdle();
      dialog_loop.Exit();
    });
    dialog_loop.Run();
    d.RemoveDistance(0);
  });
  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), opened);
  EXPECT_FALSE(QueryUi(wxID_UNDO).enabled);
}

// Undone past a save, a new step drops the saved state's way back: no state
// reached by undo is then the saved one.
TEST_F(UndoTest, ANewStepAfterUndoingPastASaveKeepsTheProjectModified) {
  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  Change([](CVistametDoc& d) { d.RemoveDistance(0); });
  ASSERT_TRUE(doc_->Save());
  SendCommand(wxID_UNDO);
  SendCommand(wxID_UNDO);
  EXPECT_TRUE(doc_->IsModified());
  Change([](CVistametDoc& d) { d.DeleteImagePoint(1); });
  EXPECT_FALSE(QueryUi(wxID_REDO).enabled);
  SendCommand(wxID_UNDO);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_NE(Bytes(), test::ReadFile(path_));
}

TEST_F(UndoTest, PhotosComeBackWithTheirPixels) {
  const std::string opened = Bytes();
  const int width = doc_->Core().photoImages[0].width;
  Change([](CVistametDoc& d) { d.DeletePhoto(0); });
  ASSERT_EQ(doc_->Core().PhotoCount(), 1);
  EXPECT_EQ(QueryUi(wxID_UNDO).text, U("撤消删除图像(&U)\tCtrl+Z"));
  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), opened);
  ASSERT_EQ(doc_->Core().photoImages.size(), 2u);
  EXPECT_EQ(doc_->Core().photoImages[0].width, width);
  EXPECT_FALSE(doc_->Core().photoImages[0].grey.empty());
}

// A process id that no process has any more.
long GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

using AutosaveTest = UndoTest;

TEST_F(AutosaveTest, ChangedProjectsGoToTheUsersDataFolderNeverOverTheProject) {
  CAutosave* autosave = TheAutosave();
  ASSERT_NE(autosave, nullptr);
  const std::string saved = test::ReadFile(path_);
  EXPECT_EQ(autosave->SaveChanged(), 0);  // nothing changed yet

  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  EXPECT_EQ(autosave->SaveChanged(), 1);
  const std::string folder = RecoveryFolderOfUser();
  const char* data_home = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(data_home, nullptr);
  EXPECT_EQ(folder.rfind(data_home, 0), 0u) << folder;
  const std::string recovery = folder + "/" + RecoveryStemOf(*doc_, path_) + ".vmt";
  EXPECT_EQ(test::ReadFile(recovery), Bytes());
  EXPECT_EQ(test::ReadFile(path_), saved);
  EXPECT_TRUE(doc_->IsModified());

  // Saving leaves nothing to recover; so does a close after more changes.
  ASSERT_TRUE(doc_->Save());
  EXPECT_FALSE(common::FileExists(recovery));
  Change([](CVistametDoc& d) { d.RemoveDistance(0); });
  EXPECT_EQ(autosave->SaveChanged(), 1);
  EXPECT_TRUE(common::FileExists(recovery));
  test::CloseAllDocuments();
  EXPECT_FALSE(common::FileExists(recovery));
}

// What a killed run left is offered when the project is opened: taken, it
// is the unsaved state (one step to undo); refused, it is gone.
TEST_F(AutosaveTest, OpeningAProjectOffersWhatAKilledRunLeft) {
  const std::string saved = test::ReadFile(path_);
  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  const std::string edited = Bytes();
  test::CloseAllDocuments();
  const std::string folder = RecoveryFolderOfUser();
  const std::string stem = RecoveryStem(path_, 1, 0);
  ASSERT_TRUE(WriteRecovery(folder, stem, path_, GonePid(), edited, nullptr));

  {
    test::ScriptedDialogs dialogs;
    dialogs.ThenMessage(wxID_YES);
    doc_ = test::Open(path_);
    ASSERT_NE(doc_, nullptr);
    Pump();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_NE(dialogs.Messages()[0].find("undo.vmt"), std::string::npos);
  }
  EXPECT_EQ(Bytes(), edited);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(test::ReadFile(path_), saved);
  SendCommand(wxID_UNDO);
  EXPECT_EQ(Bytes(), saved);
  EXPECT_FALSE(doc_->IsModified());
  SendCommand(wxID_REDO);
  test::CloseAllDocuments();

  ASSERT_TRUE(WriteRecovery(folder, stem, path_, GonePid(), edited, nullptr));
  {
    test::ScriptedDialogs dialogs;
    dialogs.ThenMessage(wxID_NO);
    doc_ = test::Open(path_);
    ASSERT_NE(doc_, nullptr);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
  }
  EXPECT_EQ(Bytes(), saved);
  EXPECT_FALSE(common::FileExists(folder + "/" + stem + ".vmt"));
}

TEST_F(AutosaveTest, AnUnsavedProjectOfAKilledRunIsOfferedAtStart) {
  Change([](CVistametDoc& d) { d.DeleteImagePoint(0); });
  const std::string edited = Bytes();
  test::CloseAllDocuments();
  const std::string folder = RecoveryFolderOfUser();
  ASSERT_TRUE(WriteRecovery(folder, RecoveryStem("", 1, 7), "", GonePid(), edited, nullptr));
  test::ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES);
  TheAutosave()->OfferOrphans();
  Pump();
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  auto* doc = dynamic_cast<CProjectDocument*>(test::Manager().GetCurrentDocument());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(WriteProjectBytes(doc->Core()), edited);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(doc->GetDocumentSaved());
  test::CloseAllDocuments();
  EXPECT_TRUE(OrphanedRecoveries(folder).empty());

  // The work on a project whose file has gone since is not lost either.
  const std::string moved = dir_.File("moved.vmt");
  ASSERT_TRUE(WriteRecovery(folder, RecoveryStem(moved, 1, 0), moved, GonePid(), edited, nullptr));
  dialogs.ThenMessage(wxID_YES);
  TheAutosave()->OfferOrphans();
  Pump();
  EXPECT_EQ(dialogs.Messages().size(), 2u);
  doc = dynamic_cast<CProjectDocument*>(test::Manager().GetCurrentDocument());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(WriteProjectBytes(doc->Core()), edited);
  test::CloseAllDocuments();
  EXPECT_TRUE(OrphanedRecoveries(folder).empty());
}

// The program as the crash test's child runs it: opens the project named by
// VISTAMET_CRASH_PROJECT, makes an edit, lets autosave write it into
// VISTAMET_CRASH_DATA, says so and waits to be killed. Disabled, so that a
// normal run leaves it out; the crash test asks for it by name.
TEST(CrashChild, DISABLED_EditAutosaveAndWait) {
  const char* project = std::getenv("VISTAMET_CRASH_PROJECT");
  const char* data = std::getenv("VISTAMET_CRASH_DATA");
  if (!project || !data) GTEST_SKIP() << "run by AutosaveTest.AProgramKilled...";
  ::setenv("XDG_DATA_HOME", data, 1);
  CProjectDocument* doc = test::Open(project);
  ASSERT_NE(doc, nullptr);
  doc->Core().DeleteImagePoint(0);
  Pump();
  ASSERT_EQ(TheAutosave()->SaveChanged(), 1);
  std::printf("autosaved %s\n", std::getenv("HOME"));
  std::fflush(stdout);
  for (;;) ::pause();
}

// Reads the child's lines until one starts with `word`, for up to a minute;
// the rest of that line.
std::string WaitForLine(int fd, const std::string& word) {
  std::string text;
  char buffer[512];
  for (int waited = 0; waited < 600; ++waited) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    for (size_t at = 0; (at = text.find(word, at)) != std::string::npos; ++at) {
      const size_t end = text.find('\n', at);
      if (end != std::string::npos) return text.substr(at + word.size(), end - at - word.size());
    }
  }
  return "?";
}

// The whole program killed with SIGKILL after an edit: the project file is
// as it was, and opening it again offers the edit.
TEST_F(AutosaveTest, AProgramKilledAfterAnEditLeavesItsWorkToRecover) {
  test::CloseAllDocuments();
  const std::string saved = test::ReadFile(path_);
  CVistametDoc expected;
  ASSERT_TRUE(LoadProjectFile(path_, &expected).ok());
  expected.DeleteImagePoint(0);
  const char* data_home = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(data_home, nullptr);

  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::setenv("VISTAMET_CRASH_PROJECT", path_.c_str(), 1);
    ::setenv("VISTAMET_CRASH_DATA", data_home, 1);
    ::execl("/proc/self/exe", "vistamet_gui_tests", "--gtest_filter=CrashChild.*",
            "--gtest_also_run_disabled_tests", nullptr);
    ::_exit(127);
  }
  ::close(out[1]);
  const std::string child_home = WaitForLine(out[0], "autosaved ");
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(out[0]);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  ASSERT_NE(child_home, "?");
  // The killed child leaves its own settings folder behind.
  if (child_home.rfind("/tmp/vistamet-gui-home-", 0) == 0)
    std::system(("rm -rf '" + child_home + "'").c_str());

  EXPECT_EQ(test::ReadFile(path_), saved);
  test::ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES);
  doc_ = test::Open(path_);
  ASSERT_NE(doc_, nullptr);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(Bytes(), WriteProjectBytes(expected));
  EXPECT_TRUE(doc_->IsModified());
}

}  // namespace
}  // namespace vistamet
