// Projects through the real windows: new, open, save, refused files, the
// extra windows and their toggles, background work, and the project window.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dnd.h>
#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "common/atomic_file.h"
#include "measure/app/command_ids.h"
#include "measure/views/image_canvas.h"
#include "measure/app/menus.h"
#include "measure/app/new_project_dialog.h"
#include "measure/app/offset_dialog.h"
#include "measure/views/vistamet_view.h"
#include "measure/views/photo_list_view.h"
#include "measure/views/photo_min_view.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

class DocumentsTest : public testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }

  static CVistametView* ProjectView(CProjectDocument* doc) {
    return dynamic_cast<CVistametView*>(doc->FindView(ViewKind::kProject));
  }
  static int ChildWindows() {
    int n = 0;
    for (wxWindow* w : Frame().GetClientWindow()->GetChildren())
      n += dynamic_cast<wxMDIChildFrame*>(w) ? 1 : 0;
    return n;
  }

  TempDir dir_;
};

TEST_F(DocumentsTest, NewProjectFromTwoPhotos) {
  const std::string a = WritePhoto(dir_.File("a.bmp"));
  const std::string b = WritePhoto(dir_.File("b.bmp"), 80, 60);
  ScriptedDialogs dialogs;
  bool ok_enabled_with_one = true;
  dialogs.Then([&](wxDialog* d) {
    auto* dialog = dynamic_cast<CNewProjectDialog*>(d);
    if (!dialog) return wxID_CANCEL;
    dialog->AddPaths({a});
    ok_enabled_with_one = dialog->OkButton()->IsEnabled();
    dialog->AddPaths({b, a});
    return dialog->Accept() ? wxID_OK : wxID_CANCEL;
  });
  SendCommand(wxID_NEW);
  Pump();
  EXPECT_FALSE(ok_enabled_with_one);
  EXPECT_EQ(dialogs.Unexpected(), 0);
  auto* doc = dynamic_cast<CProjectDocument*>(Manager().GetCurrentDocument());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Core().PhotoCount(), 2);
  EXPECT_EQ(doc->Core().photoPaths[1], b);
  EXPECT_EQ(doc->Core().photoImages[1].width, 80);
  EXPECT_EQ(doc->Core().currentPhoto, 0);
  EXPECT_EQ(doc->GetUserReadableName().Left(6), "Vistam");
  EXPECT_NE(ProjectView(doc), nullptr);
}

TEST_F(DocumentsTest, CancelledNewProjectCreatesNothing) {
  ScriptedDialogs dialogs;
  dialogs.Then([](wxDialog*) { return wxID_CANCEL; });
  SendCommand(wxID_NEW);
  Pump();
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  EXPECT_EQ(ChildWindows(), 0);
}

TEST_F(DocumentsTest, OpenAndSaveKeepTheFileByteForByte) {
  const std::string path = WriteProject(dir_, "p.vmt");
  const std::string before = ReadFile(path);
  CProjectDocument* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Core().PhotoCount(), 2);
  EXPECT_FALSE(doc->IsModified());
  // Save writes even when nothing is marked modified.
  std::remove(path.c_str());
  SendCommand(wxID_SAVE);
  EXPECT_EQ(ReadFile(path), before);
  // Another name through the document, then the file itself.
  const std::string copy = dir_.File("copy.vmt");
  ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(copy)));
  EXPECT_EQ(ReadFile(copy), before);
}

TEST_F(DocumentsTest, OpeningTheSameFileTwiceActivatesIt) {
  const std::string path = WriteProject(dir_, "p.vmt");
  CProjectDocument* first = Open(path);
  CProjectDocument* second = Open(path);
  EXPECT_EQ(first, second);
  EXPECT_EQ(Manager().GetDocumentsVector().size(), 1u);
}

TEST_F(DocumentsTest, RefusedFilesLeaveNoWindow) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"garbage.vmt", "this is not a project\n", "该文件不是本程序的文档格式"},
      {"signature.vmt", "1.0\n1.0\nSomething\n1.231\n", "该文件不是Vistamet的标准文档。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.File(c.name);
    common::SaveFileAtomically(path, c.bytes);
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    EXPECT_EQ(Open(path), nullptr);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], c.message);
    EXPECT_TRUE(Manager().GetDocumentsVector().empty());
    EXPECT_EQ(ChildWindows(), 0);
    EXPECT_EQ(ReadFile(path), c.bytes);  // never touched
  }
}

TEST_F(DocumentsTest, MissingPhotoRefusesTheProject) {
  const std::string path = WriteProject(dir_, "p.vmt");
  std::remove(dir_.File("p.vmt_photo2.bmp").c_str());
  ScriptedDialogs dialogs;
  dialogs.ThenMessage();
  EXPECT_EQ(Open(path), nullptr);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_NE(dialogs.Messages()[0].find("不存在或者打开错误"), std::string::npos);
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
}

TEST_F(DocumentsTest, DataListTogglesItsWindowAndIsReopenedWithTheProject) {
  const std::string path = WriteProject(dir_, "p.vmt");
  CProjectDocument* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_FALSE(QueryUi(kCmdDataList).checked);
  SendCommand(kCmdDataList);
  Pump();
  EXPECT_EQ(doc->Core().listWindowOn, 1);
  EXPECT_NE(doc->FindView(ViewKind::kDataList), nullptr);
  EXPECT_TRUE(QueryUi(kCmdDataList).checked);
  ASSERT_TRUE(doc->Save());
  SendCommand(kCmdDataList);
  Pump();
  EXPECT_EQ(doc->Core().listWindowOn, 0);
  EXPECT_EQ(doc->FindView(ViewKind::kDataList), nullptr);

  CloseAllDocuments();
  doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Core().listWindowOn, 1);
  EXPECT_NE(doc->FindView(ViewKind::kDataList), nullptr);
}

TEST_F(DocumentsTest, ClosingAnExtraWindowByHandClearsItsFlag) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt", {.adjusted = 1, .planeSet = 1}));
  ASSERT_NE(doc, nullptr);
  struct Case {
    int command;
    ViewKind kind;
    int32_t CVistametDoc::*flag;
  };
  const Case cases[] = {{kCmdDataList, ViewKind::kDataList, &CVistametDoc::listWindowOn},
                        {kCmdPlanMap, ViewKind::kPlanMap, &CVistametDoc::mapWindowOn},
                        {kCmdModel3D, ViewKind::kModel3D, &CVistametDoc::modelWindowOn}};
  for (const Case& c : cases) {
    SendCommand(c.command);
    Pump();
    ASSERT_NE(doc->FindView(c.kind), nullptr);
    EXPECT_EQ(doc->Core().*c.flag, 1);
    doc->FindView(c.kind)->GetFrame()->Close(true);
    Pump();
    EXPECT_EQ(doc->FindView(c.kind), nullptr);
    EXPECT_EQ(doc->Core().*c.flag, 0);
    EXPECT_FALSE(QueryUi(c.command).checked);
  }
  // The project itself stayed open.
  EXPECT_EQ(Manager().GetDocumentsVector().size(), 1u);
}

TEST_F(DocumentsTest, AWindowThatCannotBeCreatedIsReported) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  wxDocMDIParentFrame* frame = Manager().Frame();
  Manager().SetFrame(nullptr);  // no frame to put a window in
  ScriptedDialogs dialogs;
  dialogs.ThenMessage();
  SendCommand(kCmdModel3D);
  Manager().SetFrame(frame);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0], "命令失败。");
  EXPECT_EQ(doc->Core().modelWindowOn, 0);
  EXPECT_EQ(doc->FindView(ViewKind::kModel3D), nullptr);
}

TEST_F(DocumentsTest, PlanMapNeedsAnAdjustmentAndAPlanePoint) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  EXPECT_FALSE(QueryUi(kCmdPlanMap).enabled);  // not adjusted
  doc->Core().adjusted = 1;
  EXPECT_TRUE(QueryUi(kCmdPlanMap).enabled);
  doc->Core().extractionRunning = 1;
  EXPECT_FALSE(QueryUi(kCmdPlanMap).enabled);
  EXPECT_FALSE(QueryUi(kCmdDataList).enabled);
  EXPECT_TRUE(QueryUi(kCmdModel3D).enabled);
  doc->Core().extractionRunning = 0;

  ScriptedDialogs dialogs;
  dialogs.ThenMessage();
  SendCommand(kCmdPlanMap);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0], "请先设置一个投影平面点!");
  EXPECT_EQ(doc->Core().viewMode, kModePlanePoint);
  EXPECT_EQ(doc->Core().mapWindowOn, 0);
  EXPECT_TRUE(QueryUi(kCmdPlanePoint).checked);
}

TEST_F(DocumentsTest, ModeCommandsSetTheViewModeAndFollowTheRules) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  const std::pair<int, int> modes[] = {{kCmdEditPoint, 1}, {kCmdClearNumber, 2},
                                       {kCmdDeleteSpacePoint, 3}, {kCmdDeletePoint, 4},
                                       {kCmdAddPoint, 5}, {kCmdRectangleCorners, 7},
                                       {kCmdPlanePoint, 8}};
  for (auto [id, mode] : modes) {
    SendCommand(id);
    EXPECT_EQ(doc->Core().viewMode, mode) << id;
    EXPECT_TRUE(QueryUi(id).checked) << id;
  }
  // Distances are measured only after an adjustment; the item says so.
  UiState distance = QueryUi(kCmdMeasureDistance);
  EXPECT_FALSE(distance.enabled);
  EXPECT_EQ(distance.text.ToStdString(wxConvUTF8), "距离测量(先要整体平差)\tAlt+S");
  doc->Core().adjusted = 1;
  distance = QueryUi(kCmdMeasureDistance);
  EXPECT_TRUE(distance.enabled);
  EXPECT_EQ(distance.text.ToStdString(wxConvUTF8), "距离测量(&S)\tAlt+S");
  SendCommand(kCmdMeasureDistance);
  EXPECT_EQ(doc->Core().viewMode, 6);
  // Extraction running: the modes and the sweeps are unavailable.
  doc->Core().extractionRunning = 1;
  for (int id : {kCmdEditPoint, kCmdClearAllNumbers, kCmdSweepCurrent, kCmdSweepAll, kCmdAdjust})
    EXPECT_FALSE(QueryUi(id).enabled) << id;
  doc->Core().extractionRunning = 0;
}

TEST_F(DocumentsTest, SweepsRemoveUnnumberedPoints) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  CVistametDoc& core = doc->Core();
  ASSERT_EQ(core.imagePoints.size(), 6u);
  SendCommand(kCmdEditPoint);
  SendCommand(kCmdSweepCurrent);  // Esc: current photo only, back to no mode
  EXPECT_EQ(core.viewMode, kModeNone);
  EXPECT_EQ(core.imagePoints.size(), 5u);
  EXPECT_TRUE(doc->IsModified());
  core.targetsExtracted = 0;
  EXPECT_FALSE(QueryUi(kCmdSweepAll).enabled);
  core.targetsExtracted = 1;
  SendCommand(kCmdSweepAll);
  EXPECT_EQ(core.imagePoints.size(), 4u);
  SendCommand(kCmdClearAllNumbers);
  int numbered = 0;
  for (const ImagePoint& p : core.imagePoints)
    numbered += (p.photoIndex == core.currentPhoto && p.pointNumber != kNoNumber) ? 1 : 0;
  EXPECT_EQ(numbered, 0);
}

TEST_F(DocumentsTest, ExtractionCommandShowsItsStateAndSurvivesClosing) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(QueryUi(kCmdExtract).text.ToStdString(wxConvUTF8), "提取三角点(已经完成)");
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES);  // re-extraction wipes the data: yes
  SendCommand(kCmdExtract);
  // The result lands only when the windows' thread runs the posted call.
  ASSERT_EQ(doc->Core().extractionRunning, 1);
  EXPECT_EQ(doc->Core().targetsExtracted, 0);
  const UiState running = QueryUi(kCmdExtract);
  EXPECT_EQ(running.text.ToStdString(wxConvUTF8), "提取三角点(正在进行...)");
  EXPECT_TRUE(running.checked);
  EXPECT_FALSE(running.enabled);
  EXPECT_FALSE(QueryUi(kCmdAdjust).enabled);
  EXPECT_FALSE(QueryUi(kCmdDataList).enabled);
  // A second start is refused while one runs, without a question.
  doc->StartExtraction(ExtractionKind::kAllPhotos);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  // Closing the project while the work runs stops it; nothing is applied.
  dialogs.ThenMessage(wxID_NO);  // the save prompt
  SendCommand(kCmdClose);
  Pump();
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  EXPECT_EQ(ChildWindows(), 0);
}

TEST_F(DocumentsTest, FinishedExtractionIsAppliedOnTheWindowsThread) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  doc->Modify(false);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES);
  SendCommand(kCmdExtract);
  ASSERT_TRUE(doc->WorkRunning());
  for (int i = 0; i < 400 && doc->WorkRunning(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(doc->WorkRunning());
  EXPECT_EQ(doc->Core().targetsExtracted, 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(QueryUi(kCmdExtract).enabled);
  EXPECT_EQ(QueryUi(kCmdExtract).text.ToStdString(wxConvUTF8), "提取三角点(已经完成)");
}

TEST_F(DocumentsTest, ReextractionAsksFirst) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_NO);
  SendCommand(kCmdExtract);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0], "您要求重新提取三角点，这将删除所有现有数据。您确定要这么做吗？");
  EXPECT_FALSE(doc->WorkRunning());
  EXPECT_EQ(doc->Core().imagePoints.size(), 6u);
}

TEST_F(DocumentsTest, AdjustmentFromTheMenu) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage().ThenMessage().ThenMessage();
  SendCommand(kCmdAdjust);
  ASSERT_TRUE(WaitForWork(doc));
  // Whatever the adjustment reported, the progress bar is gone and a
  // success shows the completion line.
  EXPECT_FALSE(Frame().ProgressShown());
  if (doc->Core().adjusted == 1) {
    EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).ToStdString(wxConvUTF8),
              "......整体平差计算完成。 可以进行距离测量。");
  } else {
    EXPECT_FALSE(dialogs.Messages().empty());
  }
}

// The generated sample project at half size.
std::string WriteSample(const TempDir& dir) {
  SampleOptions options;
  options.width = 1500;
  options.height = 1000;
  std::string error;
  EXPECT_TRUE(WriteSampleProject(dir.path(), options, &error)) << error;
  return dir.path();
}

TEST_F(DocumentsTest, SampleProjectIsAdjustedFromTheMenu) {
  const std::string folder = WriteSample(dir_);
  CProjectDocument* doc = Open(folder + "/sample.vmt");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Core().extractionRunning, 0);  // measured: no extraction
  SendCommand(kCmdAdjust);
  ASSERT_TRUE(WaitForWork(doc));
  EXPECT_EQ(doc->Core().adjusted, 1);
  EXPECT_FALSE(Frame().ProgressShown());
  EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).ToStdString(wxConvUTF8),
            "......整体平差计算完成。 可以进行距离测量。");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->Core().adjustedPoints.size(), doc->Core().imagePoints.size());
}

// A progress that holds the worker at its first report until the test
// opens the gate, so that the run is sure to be under way.
class GatedProgress : public WorkProgress {
 public:
  void Report(int done, int total, std::string_view text) override {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      opened_.wait(lock, [this] { return open_; });
    }
    WorkProgress::Report(done, total, text);
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

// Moves the pointer onto the middle of `window` for real and clicks there.
void RealClick(wxWindow* window) {
  MovePointerTo([window] { return window->GetScreenRect().GetPosition() + window->GetSize() / 2; });
  wxUIActionSimulator().MouseClick();
}

TEST_F(DocumentsTest, AdjustmentRunsOnTheWorkerWithAStopButton) {
  const std::string folder = WriteSample(dir_);
  CProjectDocument* doc = Open(folder + "/sample.vmt");
  ASSERT_NE(doc, nullptr);
  const std::vector<SpacePoint> before = doc->Core().spacePoints;
  auto gate = std::make_shared<GatedProgress>();
  doc->StartAdjustment(gate);
  ASSERT_TRUE(doc->WorkRunning());
  // The windows keep running while the worker works, and the project is
  // locked: nothing that changes it is enabled.
  Pump();
  EXPECT_TRUE(Frame().ProgressShown());
  ASSERT_TRUE(Frame().StopButton()->IsShown());
  for (int id : std::initializer_list<int>{kCmdAdjust, kCmdExtract, kCmdOptions, kCmdSweepAll, kCmdShiftOrigin,
                 kCmdDistanceTest, kCmdClearAllNumbers, wxID_UNDO, wxID_REDO})
    EXPECT_FALSE(QueryUi(id).enabled) << id;
  SendCommand(kCmdAdjust);  // refused, not queued
  // The data list may be looked at meanwhile; what it would change is not
  // offered.
  EXPECT_TRUE(QueryUi(kCmdDataList).enabled);
  SendCommand(kCmdDataList);
  Pump();
  auto* list = dynamic_cast<CPhotoListView*>(doc->FindView(ViewKind::kDataList));
  ASSERT_NE(list, nullptr);
  SendCommand(kCmdListSpacePoints);
  Pump();
  EXPECT_EQ(doc->Core().listMode, 1);
  list->List()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  Pump();
  list->SelectionChanged();
  EXPECT_FALSE(QueryUi(kCmdListDelete).enabled);
  EXPECT_FALSE(QueryUi(kCmdListRename).enabled);
  // A real click on the stop button stops it.
  RealClick(Frame().StopButton());
  ASSERT_TRUE(PumpUntil([&] { return gate->StopRequested(); }));
  gate->Open();
  ASSERT_TRUE(WaitForWork(doc));
  EXPECT_FALSE(Frame().ProgressShown());
  EXPECT_FALSE(Frame().StopButton()->IsShown());
  EXPECT_EQ(Frame().GetStatusBar()->GetStatusText(0).ToStdString(wxConvUTF8),
            "......整体平差已停止，项目保持原样。");
  EXPECT_EQ(doc->Core().adjusted, 0);
  ASSERT_EQ(doc->Core().spacePoints.size(), before.size());
  for (size_t k = 0; k < before.size(); ++k) EXPECT_EQ(doc->Core().spacePoints[k].X, before[k].X);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(QueryUi(kCmdAdjust).enabled);
  // With the project free again the selected point can be deleted.
  list->List()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  Pump();
  list->SelectionChanged();
  EXPECT_TRUE(QueryUi(kCmdListDelete).enabled);

  // Esc stops it too, with the focus in the project's window.
  gate = std::make_shared<GatedProgress>();
  doc->StartAdjustment(gate);
  ASSERT_TRUE(doc->WorkRunning());
  if (CDocViewBase* view = doc->FindView(ViewKind::kProject)) view->GetFrame()->SetFocus();
  wxUIActionSimulator().Char(WXK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return gate->StopRequested(); }));
  gate->Open();
  ASSERT_TRUE(WaitForWork(doc));
  EXPECT_EQ(doc->Core().adjusted, 0);

  // A run to the end lands as one step to undo.
  SendCommand(kCmdAdjust);
  ASSERT_TRUE(WaitForWork(doc));
  ASSERT_EQ(doc->Core().adjusted, 1);
  Pump();
  EXPECT_EQ(QueryUi(wxID_UNDO).text.ToStdString(wxConvUTF8).find("整体平差") == std::string::npos,
            false)
      << QueryUi(wxID_UNDO).text.ToStdString(wxConvUTF8);
  SendCommand(wxID_UNDO);
  Pump();
  EXPECT_EQ(doc->Core().adjusted, 0);
  EXPECT_EQ(doc->Core().spacePoints[0].X, before[0].X);
}

TEST_F(DocumentsTest, ClosingDuringTheAdjustmentStopsIt) {
  const std::string folder = WriteSample(dir_);
  CProjectDocument* doc = Open(folder + "/sample.vmt");
  ASSERT_NE(doc, nullptr);
  auto gate = std::make_shared<GatedProgress>();
  doc->StartAdjustment(gate);
  ASSERT_TRUE(doc->WorkRunning());
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_NO);  // the save prompt, if any
  // The worker waits at the gate; closing stops and joins it, so open the
  // gate from another thread once the stop was asked.
  std::thread opener([gate] {
    for (int i = 0; i < 2000; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    gate->Open();
  });
  SendCommand(kCmdClose);
  Pump();
  opener.join();
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  EXPECT_FALSE(Frame().ProgressShown());
  EXPECT_FALSE(Frame().TrackingWork());
}

TEST_F(DocumentsTest, OpeningThePhotosStartsTheExtraction) {
  const std::string folder = WriteSample(dir_);
  CProjectDocument* doc = Open(folder + "/sample_photos.vmt");
  ASSERT_NE(doc, nullptr);
  for (int i = 0; i < 2000 && doc->WorkRunning(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_FALSE(doc->WorkRunning());
  EXPECT_EQ(doc->Core().targetsExtracted, 1);
  EXPECT_EQ(doc->Core().extractionRunning, 0);
  EXPECT_GE(doc->Core().imagePoints.size(), 80u);
  EXPECT_EQ(QueryUi(kCmdExtract).text.ToStdString(wxConvUTF8), "提取三角点(已经完成)");
  // Closing while a real extraction runs stops it without a crash.
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES);
  SendCommand(kCmdExtract);
  EXPECT_TRUE(doc->WorkRunning());
  dialogs.ThenMessage(wxID_NO);  // the save prompt
  SendCommand(kCmdClose);
  Pump();
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
}

TEST_F(DocumentsTest, ShiftOriginAsksForTheOffset) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  const double x0 = doc->Core().spacePoints[0].X;
  ScriptedDialogs dialogs;
  dialogs.Then([](wxDialog* d) {
    auto* dialog = dynamic_cast<COffsetDialog*>(d);
    if (!dialog) return wxID_CANCEL;
    dialog->Edit(0)->SetValue("1000");
    return dialog->Accept() ? wxID_OK : wxID_CANCEL;
  });
  SendCommand(kCmdShiftOrigin);
  EXPECT_EQ(dialogs.Unexpected(), 0);
  EXPECT_EQ(doc->Core().spacePoints[0].X, x0 + 1000);
}

TEST_F(DocumentsTest, DistanceTestAsksForAnyFileAndACancelDoesNothing) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  long style = 0;
  wxString wildcard, name;
  // Cancelled: nothing else is shown and nothing changes.
  ScriptedDialogs dialogs;
  dialogs.Then([&](wxDialog* d) {
    auto* files = dynamic_cast<wxFileDialog*>(d);
    if (!files) return wxID_OK;
    style = files->GetWindowStyle();
    wildcard = files->GetWildcard();
    name = files->GetFilename();
    return wxID_CANCEL;
  });
  SendCommand(kCmdDistanceTest);
  EXPECT_EQ(dialogs.Pending(), 0u);
  EXPECT_EQ(dialogs.Unexpected(), 0);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(style & wxFD_OPEN);
  EXPECT_FALSE(style & wxFD_SAVE);
  EXPECT_FALSE(style & wxFD_FILE_MUST_EXIST);
  EXPECT_FALSE(style & wxFD_MULTIPLE);
  EXPECT_EQ(wildcard, wxFileSelectorDefaultWildcardStr);
  EXPECT_TRUE(name.empty());
}

TEST_F(DocumentsTest, ClosingTheProjectWindowClosesTheProject) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  SendCommand(kCmdModel3D);
  SendCommand(kCmdNewWindow);
  Pump();
  EXPECT_EQ(ChildWindows(), 3);
  // Closing one of two project windows keeps the project.
  doc->FindView(ViewKind::kProject)->GetFrame()->Close(true);
  Pump();
  ASSERT_EQ(Manager().GetDocumentsVector().size(), 1u);
  EXPECT_EQ(ChildWindows(), 2);
  // The last project window takes the rest with it, after asking to save.
  doc->Modify(true);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_NO);
  doc->FindView(ViewKind::kProject)->GetFrame()->Close();
  Pump();
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  EXPECT_EQ(ChildWindows(), 0);
}

TEST_F(DocumentsTest, ClosingAModifiedProjectCanBeCancelled) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  doc->Modify(true);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_CANCEL);
  SendCommand(kCmdClose);
  Pump();
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0], "是否保存对 p.vmt 的更改？");
  EXPECT_EQ(Manager().GetDocumentsVector().size(), 1u);
}

TEST_F(DocumentsTest, QuittingAsksToSaveAModifiedProject) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  doc->Modify(true);
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_CANCEL);
  EXPECT_FALSE(Frame().Close(false));  // the user cancels in the save prompt
  Pump();
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0], "是否保存对 p.vmt 的更改？");
  EXPECT_EQ(Manager().GetDocumentsVector().size(), 1u);
  EXPECT_TRUE(Frame().IsShown());
}

TEST_F(DocumentsTest, ImageViewZoomsInPowersOfTwo) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  CImageCanvas* canvas = ProjectView(doc)->Canvas();
  for (int i = 0; i < 7; ++i) SendCommand(kCmdZoomIn);
  EXPECT_DOUBLE_EQ(canvas->Divisor(), 1.0 / 64);
  for (int i = 0; i < 6 + 8 + 1; ++i) SendCommand(kCmdZoomOut);
  EXPECT_DOUBLE_EQ(canvas->Divisor(), 128.0);
}

TEST_F(DocumentsTest, ImageViewDrawsThePhotoAndItsPoints) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  CImageCanvas* canvas = ProjectView(doc)->Canvas();
  wxBitmap bitmap(96, 64, 24);
  {
    wxMemoryDC dc(bitmap);
    canvas->Render(dc, wxRect(0, 0, 96, 64));
  }
  const wxImage image = bitmap.ConvertToImage();
  // Point 1 of photo 1 sits at (10, 12): red cross arms, green number.
  EXPECT_EQ(image.GetRed(8, 12), 255);
  EXPECT_EQ(image.GetGreen(8, 12), 0);
  EXPECT_EQ(image.GetRed(10, 10), 255);
  // A photo pixel away from the marks keeps the photo's colour.
  EXPECT_EQ(image.GetBlue(90, 5), 40 + (90 * 3) % 160);
}

TEST_F(DocumentsTest, ThumbnailDoubleClickMakesAPhotoCurrent) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt", {.photos = 3}));
  ASSERT_NE(doc, nullptr);
  CPhotoMinView* strip = ProjectView(doc)->Strip();
  strip->Relayout();
  ASSERT_EQ(strip->Cells().size(), 3u);
  const wxRect third = strip->Cells()[2];
  EXPECT_EQ(third.y - strip->Cells()[1].y, strip->Cells()[1].y - strip->Cells()[0].y);
  strip->ActivateAt(wxPoint(third.x + 2, third.y + 2));
  EXPECT_EQ(doc->Core().currentPhoto, 2);
  EXPECT_FALSE(doc->IsModified());
  strip->ActivateAt(wxPoint(1, 1));  // between cells: nothing
  EXPECT_EQ(doc->Core().currentPhoto, 2);
}

TEST_F(DocumentsTest, SaveAsAddsTheExtensionAndRemembersTheFile) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  {
    // Cancelling the file dialog saves nothing.
    ScriptedDialogs dialogs;
    dialogs.Then([](wxDialog* d) { return dynamic_cast<wxFileDialog*>(d) ? wxID_CANCEL : wxID_OK; });
    SendCommand(wxID_SAVEAS);
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_FALSE(doc->SaveAsPath(""));
  }
  const std::string target = dir_.File("renamed");
  ASSERT_TRUE(doc->SaveAsPath(wxString::FromUTF8(target)));
  EXPECT_EQ(ReadFile(target + ".vmt"), ReadFile(dir_.File("p.vmt")));
  EXPECT_EQ(doc->GetFilename().ToStdString(wxConvUTF8), target + ".vmt");
  EXPECT_EQ(Manager().GetHistoryFile(0).ToStdString(wxConvUTF8), target + ".vmt");
}

TEST_F(DocumentsTest, RecentFilesKeepTheLastFour) {
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i) {
    paths.push_back(WriteProject(dir_, "r" + std::to_string(i) + ".vmt"));
    ASSERT_NE(Open(paths.back()), nullptr);
    CloseAllDocuments();
  }
  ASSERT_EQ(Manager().GetHistoryFilesCount(), 4u);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ(Manager().GetHistoryFile(i).ToStdString(wxConvUTF8), paths[4 - i]);
  wxMenu* recent = RecentFilesMenu(Frame().GetMenuBar());
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent->GetMenuItemCount(), 4u);
}

TEST_F(DocumentsTest, DroppedProjectFilesOpen) {
  const std::string project = WriteProject(dir_, "dropped.vmt");
  const std::string text = dir_.File("notes.txt");
  common::SaveFileAtomically(text, "x\n");
  auto* target = dynamic_cast<wxFileDropTarget*>(Frame().GetDropTarget());
  ASSERT_NE(target, nullptr);
  wxArrayString files;
  files.Add(wxString::FromUTF8(text));
  EXPECT_FALSE(target->OnDropFiles(0, 0, files));
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  files.Add(wxString::FromUTF8(project));
  EXPECT_TRUE(target->OnDropFiles(0, 0, files));
  Pump();
  ASSERT_EQ(Manager().GetDocumentsVector().size(), 1u);
  EXPECT_EQ(Manager().GetDocumentsVector()[0]->GetFilename().ToStdString(wxConvUTF8), project);
}

TEST_F(DocumentsTest, CommandLineProjectOpens) {
  const std::string path = WriteProject(dir_, "cmd.vmt");
  EXPECT_NE(App().OpenProject(wxString::FromUTF8(path)), nullptr);
  EXPECT_EQ(App().OpenProject(wxString::FromUTF8(dir_.File("missing.vmt"))), nullptr);
}

}  // namespace
}  // namespace vistamet::test
