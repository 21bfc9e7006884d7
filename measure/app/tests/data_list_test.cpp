// The data list window on a real project: its tables, the highlighting of
// selected distances, delete and rename through the list, and the list
// following changes of the project.
#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include "measure/app/command_ids.h"
#include "measure/app/rename_dialog.h"
#include "measure/model/sample_project.h"
#include "measure/views/photo_list_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

class DataListTest : public ::testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }

  CPhotoListView* OpenList(CProjectDocument* doc) {
    SendCommand(kCmdDataList);
    Pump();
    return dynamic_cast<CPhotoListView*>(doc->FindView(ViewKind::kDataList));
  }
  void Select(CPhotoListView* view, std::initializer_list<long> rows) {
    CDataListCtrl* list = view->List();
    for (long i = 0; i < list->GetItemCount(); ++i) list->SetItemState(i, 0, wxLIST_STATE_SELECTED);
    for (long r : rows) list->SetItemState(r, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Pump();
    view->SelectionChanged();
  }
  void Kind(int command) {
    SendCommand(command);
    Pump();
  }
  TempDir dir_;
};

TEST_F(DataListTest, SampleTablesAfterAnAdjustment) {
  SampleOptions options;
  options.width = 1500;
  options.height = 1000;
  std::string error;
  ASSERT_TRUE(WriteSampleProject(dir_.path(), options, &error)) << error;
  CProjectDocument* doc = Open(dir_.File("sample.vmt"));
  ASSERT_NE(doc, nullptr);
  SendCommand(kCmdAdjust);
  ASSERT_TRUE(WaitForWork(doc));
  ASSERT_EQ(doc->Core().adjusted, 1);
  CPhotoListView* view = OpenList(doc);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(doc->Core().listWindowOn, 1);
  Kind(kCmdListSpacePoints);
  EXPECT_EQ(doc->Core().listMode, 1);
  EXPECT_EQ(view->List()->GetItemCount(), 21);  // 20 points and the footer
  EXPECT_EQ(view->List()->GetItemText(20, 0).ToStdString(wxConvUTF8),
            "总计20个空间点(箭头标志控制点)");
  Kind(kCmdListPhotos);
  EXPECT_EQ(view->List()->GetItemCount(), 5);
  EXPECT_EQ(view->List()->GetColumnCount(), 15);
  Kind(kCmdListDistances);
  ASSERT_EQ(view->List()->GetItemCount(), 5);  // four distances
  // Selecting distances highlights them in the image view; the footer ends it.
  Select(view, {0, 1});
  EXPECT_EQ(doc->Core().highlightList, (std::vector<int32_t>{3, 2}));
  Select(view, {4});
  EXPECT_TRUE(doc->Core().highlightList.empty());
  // Delete the newest distance through the list.
  Select(view, {0});
  wxCommandEvent del(wxEVT_MENU, kCmdListDelete);
  view->GetFrame()->ProcessWindowEvent(del);
  EXPECT_EQ(doc->Core().DistanceCount(), 3);
  EXPECT_EQ(view->List()->GetItemCount(), 4);  // followed at once
  EXPECT_TRUE(view->ExportCsv(wxString::FromUTF8(dir_.File("d.csv"))));
  EXPECT_EQ(ReadFile(dir_.File("d.csv")).substr(0, 3), "\xEF\xBB\xBF");
  // Closing the window by hand resets its flag.
  view->GetFrame()->Close(true);
  Pump();
  EXPECT_EQ(doc->Core().listWindowOn, 0);
}

TEST_F(DataListTest, RenameAndDeleteSpacePointsAndFollowChanges) {
  CProjectDocument* doc = Open(WriteProject(dir_, "p.vmt"));
  ASSERT_NE(doc, nullptr);
  CPhotoListView* view = OpenList(doc);
  ASSERT_NE(view, nullptr);
  Kind(kCmdListSpacePoints);
  ASSERT_EQ(view->List()->GetItemCount(), 3);
  Select(view, {1});
  {
    ScriptedDialogs dialogs;
    dialogs.Then([](wxDialog* d) {
      auto* rename = dynamic_cast<CRenameDialog*>(d);
      if (!rename) return wxID_CANCEL;
      rename->NewEdit()->SetValue("1");  // taken
      return rename->Accept() ? wxID_OK : wxID_CANCEL;
    });
    dialogs.ThenMessage();
    view->RenameSelected();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "空间点1已经存在!");
  }
  {
    ScriptedDialogs dialogs;
    dialogs.Then([](wxDialog* d) {
      auto* rename = dynamic_cast<CRenameDialog*>(d);
      if (!rename) return wxID_CANCEL;
      rename->NewEdit()->SetValue("25");
      return rename->Accept() ? wxID_OK : wxID_CANCEL;
    });
    view->RenameSelected();
  }
  EXPECT_GE(doc->Core().FindSpacePoint(25), 0);
  EXPECT_EQ(view->List()->GetItemText(1, 0), "25");
  Select(view, {0});
  view->DeleteSelected();
  EXPECT_LT(doc->Core().FindSpacePoint(1), 0);
  EXPECT_EQ(view->List()->GetItemCount(), 2);
  // Clearing all numbers of the photo: the list follows.
  Kind(kCmdListImagePoints);
  SendCommand(kCmdClearAllNumbers);
  Pump();
  EXPECT_EQ(view->List()->GetItemText(0, 0), "-");
  // While an extraction runs, delete and rename are off.
  doc->Core().extractionRunning = 1;
  Select(view, {0});
  EXPECT_FALSE(CanDeleteRow(doc->Core(), view->Table(), view->List()->SelectedRows()));
  doc->Core().extractionRunning = 0;
}

}  // namespace
}  // namespace vistamet::test
