// The application shell: documents and their .grk files, the function list
// and the output view, the menus, the recent files and the save prompt.
#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/dcmemory.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/intl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "geotools/app/about_dlg.h"
#include "geotools/app/child_frame.h"
#include "geotools/app/geo_reckon_app.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/geo_reckon_doc_manager.h"
#include "geotools/app/geo_reckon_view.h"
#include "geotools/app/left_view.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/menus.h"
#include "geotools/app/tool_dialog.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"
#include "tests/gui_test_support.h"

namespace georeckon::test {
namespace {

CGeoReckonDocManager* Manager() { return dynamic_cast<CGeoReckonApp*>(wxTheApp)->doc_manager(); }

// A fresh document with its window; closed (without questions) at the end.
class DocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    doc_ = dynamic_cast<CGeoReckonDoc*>(Manager()->CreateDocument(wxEmptyString, wxDOC_NEW));
    ASSERT_NE(doc_, nullptr);
    view_ = dynamic_cast<CGeoReckonView*>(doc_->GetFirstView());
    ASSERT_NE(view_, nullptr);
    Pump();
  }
  void TearDown() override {
    for (wxDocument* d : Manager()->GetDocumentsVector()) {
      d->Modify(false);
      Manager()->CloseDocument(d, true);
    }
    Pump();
  }
  CChildFrame* frame() const { return view_->child_frame(); }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame());
    frame()->ProcessWindowEvent(event);
  }

  CGeoReckonDoc* doc_ = nullptr;
  CGeoReckonView* view_ = nullptr;
};

// Rows of a rendering of the output view that hold dark pixels.
std::vector<bool> InkRows(const CGeoReckonDoc& doc, int height = 320) {
  wxBitmap bitmap(400, height, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  DrawOutput(dc, doc);
  dc.SelectObject(wxNullBitmap);
  const wxImage image = bitmap.ConvertToImage();
  std::vector<bool> ink(height, false);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < 400 && !ink[y]; ++x) {
      ink[y] = image.GetRed(x, y) < 128 && image.GetGreen(x, y) < 128;
    }
  }
  return ink;
}

bool AnyInk(const std::vector<bool>& ink, int from, int to) {
  for (int y = from; y < to; ++y) {
    if (ink[y]) return true;
  }
  return false;
}

TEST_F(DocumentTest, NewDocumentFileIs153BytesAndReadsBack) {
  TempDir dir;
  UiScript ui;
  ui.files = {dir.Path("new.grk")};
  ASSERT_TRUE(doc_->Save());  // never saved: asks for a name
  const std::string bytes = ReadFile(dir.Path("new.grk"));
  ASSERT_EQ(bytes.size(), 153u);
  EXPECT_EQ(bytes.substr(0, 16), "GeoReckon\r\n1.0\r\n");
  EXPECT_EQ(bytes[20], '\0');
  EXPECT_EQ(ui.file_requests.at(0).filter, "GeoReckon 文件 (*.grk)|*.grk");
  EXPECT_EQ(Utf8(doc_->GetFilename()), dir.Path("new.grk"));

  wxDocument* opened = Manager()->CreateDocument(Wx(dir.Path("new.grk")), wxDOC_SILENT);
  // The file is open already: its window comes to the front.
  EXPECT_EQ(opened, doc_);
  doc_->Modify(false);
  Manager()->CloseDocument(doc_, true);
  auto* again = dynamic_cast<CGeoReckonDoc*>(
      Manager()->CreateDocument(Wx(dir.Path("new.grk")), wxDOC_SILENT));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->data(), GrkDocument());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, SettingsAndSelectionSurviveSaveAndOpen) {
  TempDir dir;
  UiScript ui;
  ui.dialogs.push_back([](wxDialog* d) {
    Choose(d, "xian80");
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Command(FunctionCommand(ToolFunction::kParams));
  EXPECT_TRUE(doc_->IsModified());
  frame()->left()->SelectItem(4);
  ui.files = {dir.Path("saved.grk")};
  ASSERT_TRUE(doc_->Save());
  EXPECT_FALSE(doc_->IsModified());
  const GrkDocument saved = doc_->data();
  Manager()->CloseDocument(doc_, true);

  auto* doc = dynamic_cast<CGeoReckonDoc*>(
      Manager()->CreateDocument(Wx(dir.Path("saved.grk")), wxDOC_SILENT));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->data(), saved);
  EXPECT_EQ(doc->data().ellipsoid, Xian80Ellipsoid());
  EXPECT_EQ(doc->data().currentIndex, 4);
  EXPECT_EQ(doc->data().currentText, "大地主题解算");
  auto* view = dynamic_cast<CGeoReckonView*>(doc->GetFirstView());
  EXPECT_EQ(view->child_frame()->left()->GetSelection(), 4);
}

TEST_F(DocumentTest, OpensTheProductWordInAnyCaseAndRefusesOtherFiles) {
  TempDir dir;
  UiScript ui;
  std::string bytes = SerializeGrk(GrkDocument());
  bytes.replace(0, 9, "georeckon");
  WriteFile(dir.Path("lower.grk"), bytes);
  EXPECT_NE(Manager()->CreateDocument(Wx(dir.Path("lower.grk")), wxDOC_SILENT), nullptr);
  EXPECT_TRUE(ui.messages.empty());

  const size_t before = Manager()->GetDocumentsVector().size();
  WriteFile(dir.Path("other.grk"), "Vistamet\r\n1.0\r\n");
  EXPECT_EQ(Manager()->CreateDocument(Wx(dir.Path("other.grk")), wxDOC_SILENT), nullptr);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kNotGrkFile});
  EXPECT_EQ(Manager()->GetDocumentsVector().size(), before);
  // The foreign file is left as it was.
  EXPECT_EQ(ReadFile(dir.Path("other.grk")), "Vistamet\r\n1.0\r\n");

  ui.messages.clear();
  WriteFile(dir.Path("cut.grk"), bytes.substr(0, 40));
  EXPECT_EQ(Manager()->CreateDocument(Wx(dir.Path("cut.grk")), wxDOC_SILENT), nullptr);
  // The damage is told with the place where reading stopped.
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(std::string(texts::kDamagedGrkFile) + "\n", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find("cut.grk at byte"), std::string::npos);
}

TEST_F(DocumentTest, SelectionDrawsTheFunctionNameAtItsRow) {
  // No function yet: the list of functions under the heading.
  std::vector<bool> ink = InkRows(*doc_);
  EXPECT_TRUE(AnyInk(ink, 20, 40));
  EXPECT_TRUE(ink[45]);  // the rule under the heading
  EXPECT_TRUE(AnyInk(ink, 295, 315));

  frame()->left()->SelectItem(2);
  EXPECT_EQ(doc_->data().currentIndex, 2);
  EXPECT_EQ(doc_->data().currentText, "高斯投影正反算");
  EXPECT_FALSE(doc_->IsModified());
  ink = InkRows(*doc_);
  EXPECT_FALSE(AnyInk(ink, 0, 40));
  EXPECT_TRUE(AnyInk(ink, 40, 60));
  EXPECT_FALSE(AnyInk(ink, 62, 320));

  // The description of "&0 参数设置" takes the same place.
  UiScript ui;
  ui.dialogs.push_back([](wxDialog* d) {
    Choose(d, "beijing54");
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Command(FunctionCommand(ToolFunction::kParams));
  EXPECT_EQ(doc_->data().currentText,
            DocumentParamDescription(Beijing54Ellipsoid(), kPackedDms, kPackedDms));
  EXPECT_EQ(doc_->data().currentIndex, 2);
  ink = InkRows(*doc_);
  EXPECT_TRUE(AnyInk(ink, 40, 60));
  EXPECT_FALSE(AnyInk(ink, 0, 40));
}

TEST_F(DocumentTest, DescriptionWithoutSelectionIsDrawnAtTheTop) {
  UiScript ui;
  ui.dialogs.push_back([](wxDialog* d) {
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Command(FunctionCommand(ToolFunction::kParams));
  EXPECT_EQ(doc_->data().currentIndex, -1);
  EXPECT_FALSE(doc_->IsModified());  // confirmed without a change
  const std::vector<bool> ink = InkRows(*doc_);
  EXPECT_TRUE(AnyInk(ink, 0, 20));
  EXPECT_FALSE(AnyInk(ink, 25, 320));
}

TEST_F(DocumentTest, DoubleClickRunsTheItemsFunction) {
  const char* const kTitles[10] = {"相关参数",
                                   "BLH-XYZ",
                                   "高斯投影正反算",
                                   "高斯投影换带计算",
                                   "大地主题解算",
                                   "平面坐标解算",
                                   "空间直角坐标转换参数求解",
                                   "空间直角坐标转换",
                                   "平面直角坐标转换参数求解",
                                   "平面直角坐标转换"};
  for (int item = 0; item < 10; ++item) {
    SCOPED_TRACE(item);
    UiScript ui;
    ui.dialogs.push_back([](wxDialog*) { return static_cast<int>(wxID_CANCEL); });
    frame()->left()->ActivateItem(item);
    Pump();
    EXPECT_EQ(ui.dialog_titles, std::vector<std::string>{kTitles[item]});
  }
}

TEST_F(DocumentTest, FunctionDialogsStartFromTheDocument) {
  UiScript ui;
  ui.dialogs.push_back([](wxDialog* d) {
    Choose(d, "beijing54");
    FindControl<wxChoice>(d, "inputUnit")->SetSelection(kDegree);
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Command(FunctionCommand(ToolFunction::kParams));
  std::string description;
  ui.dialogs.push_back([&description](wxDialog* d) {
    description = Text(d, "description");
    // A change made here stays in the dialog.
    return static_cast<int>(wxID_OK);
  });
  Command(FunctionCommand(ToolFunction::kGauss));
  EXPECT_EQ(description, DialogParamDescription(Beijing54Ellipsoid(), kDegree, kPackedDms));
  ui.dialogs.push_back([&description](wxDialog* d) {
    description = Text(d, "description");
    return static_cast<int>(wxID_CANCEL);
  });
  Command(FunctionCommand(ToolFunction::kPlaneCoordinates));
  EXPECT_EQ(description, PlaneParamDescription(kDegree, kPackedDms));
  EXPECT_EQ(doc_->data().ellipsoid, Beijing54Ellipsoid());
}

TEST_F(DocumentTest, MenusCarryTheirTextsAndSeparators) {
  wxMenuBar* bar = frame()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const std::vector<std::string> menus = {"文件(&F)", "编辑(&E)", "坐标系统(&C)",
                                          "查看(&V)", "窗口(&W)", "帮助(&H)"};
  ASSERT_EQ(bar->GetMenuCount(), menus.size());
  for (size_t i = 0; i < menus.size(); ++i) EXPECT_EQ(Utf8(bar->GetMenuLabel(i)), menus[i]);

  std::vector<std::string> items;
  for (wxMenuItem* item : bar->GetMenu(2)->GetMenuItems()) {
    items.push_back(item->IsSeparator() ? "-" : Utf8(item->GetItemLabel()));
  }
  const std::vector<std::string> expected = {"&0 参数设置",
                                             "-",
                                             "&1 空间直角坐标与大地坐标转换",
                                             "-",
                                             "&2 大地主题解算",
                                             "&3 平面坐标解算",
                                             "-",
                                             "&4 高斯投影正反算",
                                             "&5 高斯投影换带计算",
                                             "-",
                                             "&6 空间坐标转换参数求解",
                                             "&7 空间直角坐标转换",
                                             "-",
                                             "&8 平面坐标转换参数求解",
                                             "&9 平面直角坐标转换"};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(Utf8(bar->GetMenu(0)->FindItem(wxID_OPEN)->GetItemLabel()), "打开(&O)...\tCtrl+O");
  EXPECT_EQ(Utf8(bar->GetMenu(5)->FindItem(wxID_ABOUT)->GetItemLabel()), "关于 GeoReckon(&A)...");

  // The edit commands do nothing here and stay disabled.
  for (int id = ID_EDIT_UNDO; id <= ID_EDIT_PASTE; ++id) {
    wxUpdateUIEvent event(id);
    frame()->ProcessWindowEvent(event);
    EXPECT_FALSE(event.GetEnabled()) << id;
  }

  // The main window without a document has the short menu.
  wxMenuBar* start = TheMainFrame()->GetMenuBar();
  ASSERT_EQ(start->GetMenuCount(), 3u);
  EXPECT_EQ(Utf8(start->GetMenuLabel(1)), "查看(&V)");
}

TEST_F(DocumentTest, RecentFilesKeepFiveBeforeExit) {
  TempDir dir;
  wxFileHistory* history = Manager()->GetFileHistory();
  while (history->GetCount() > 0) history->RemoveFileFromHistory(0);
  for (int i = 1; i <= 7; ++i)
    Manager()->AddFileToHistory(Wx(dir.Path("f" + std::to_string(i) + ".grk")));
  ASSERT_EQ(history->GetCount(), 5u);
  EXPECT_EQ(Utf8(history->GetHistoryFile(0)), dir.Path("f7.grk"));
  EXPECT_EQ(Utf8(history->GetHistoryFile(4)), dir.Path("f3.grk"));

  wxMenu* file = frame()->GetMenuBar()->GetMenu(0);
  const size_t count = file->GetMenuItemCount();
  EXPECT_EQ(file->FindItemByPosition(count - 1)->GetId(), ID_APP_EXIT);
  EXPECT_TRUE(file->FindItemByPosition(count - 2)->IsSeparator());
  EXPECT_EQ(file->FindItemByPosition(count - 3)->GetId(), wxID_FILE5);
  EXPECT_EQ(Utf8(file->FindItemByPosition(count - 7)->GetItemLabel()), "&1 " + dir.Path("f7.grk"));

  // A recent file that has gone is dropped with a message.
  UiScript ui;
  wxCommandEvent event(wxEVT_MENU, wxID_FILE1);
  TheMainFrame()->ProcessWindowEvent(event);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(std::string(texts::kOpenFileError) + "\n", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find("f7.grk"), std::string::npos);
  EXPECT_EQ(history->GetCount(), 4u);
  while (history->GetCount() > 0) history->RemoveFileFromHistory(0);
  EXPECT_EQ(file->FindItemByPosition(file->GetMenuItemCount() - 2)->GetId(), wxID_SEPARATOR);
  EXPECT_EQ(file->FindItemByPosition(file->GetMenuItemCount() - 3)->GetId(), wxID_PRINT_SETUP);
}

TEST_F(DocumentTest, ClosingAModifiedDocumentAsks) {
  UiScript ui;
  doc_->Modify(true);
  ui.answer = wxCANCEL;
  EXPECT_FALSE(Manager()->CloseDocument(doc_));
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"将改动保存到 " + Utf8(doc_->GetUserReadableName()) + "？"});
  ui.answer = wxNO;
  EXPECT_TRUE(Manager()->CloseDocument(doc_));
  EXPECT_EQ(Manager()->GetDocumentsVector().size(), 0u);
}

TEST_F(DocumentTest, SecondWindowClosesWithoutClosingTheDocument) {
  Command(ID_WINDOW_NEW);
  Pump();
  ASSERT_EQ(doc_->GetViewsVector().size(), 2u);
  auto* second = dynamic_cast<CGeoReckonView*>(doc_->GetViewsVector()[1]);
  UiScript ui;
  doc_->Modify(true);
  second->child_frame()->Close();
  Pump();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(doc_->GetViewsVector().size(), 1u);
  EXPECT_EQ(Manager()->GetDocumentsVector().size(), 1u);

  // "分隔" puts the split bar in the middle.
  Command(ID_WINDOW_SPLIT);
  wxSplitterWindow* splitter = frame()->splitter();
  EXPECT_NEAR(splitter->GetSashPosition(), splitter->GetClientSize().x / 2, 8);
}

TEST(MainFrame, BarsToggleAndAreRemembered) {
  CMainFrame* main = TheMainFrame();
  wxConfigBase* config = wxConfigBase::Get();
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    wxWindow* bar = id == ID_VIEW_TOOLBAR ? static_cast<wxWindow*>(main->GetToolBar())
                                          : static_cast<wxWindow*>(main->GetStatusBar());
    const char* key = id == ID_VIEW_TOOLBAR ? "/Settings/toolbar" : "/Settings/statusbar";
    SCOPED_TRACE(key);
    ASSERT_TRUE(bar->IsShown());
    wxCommandEvent toggle(wxEVT_MENU, id);
    main->ProcessWindowEvent(toggle);
    EXPECT_FALSE(bar->IsShown());
    wxUpdateUIEvent check(id);
    main->ProcessWindowEvent(check);
    EXPECT_FALSE(check.GetChecked());
    main->SaveSettings();
    bool shown = true;
    EXPECT_TRUE(config->Read(key, &shown));
    EXPECT_FALSE(shown);
    main->ProcessWindowEvent(toggle);
    EXPECT_TRUE(bar->IsShown());
  }
  main->SaveSettings();
  EXPECT_EQ(Utf8(SettingsFilePath()).rfind(std::string(std::getenv("XDG_CONFIG_HOME")), 0), 0u);
}

TEST(AboutDlg, ShowsVersionAndPurpose) {
  CAboutDlg dialog(nullptr);
  EXPECT_EQ(Utf8(dialog.GetTitle()), "关于 GeoReckon");
  EXPECT_EQ(Utf8(FindControl<wxStaticText>(&dialog, "version")->GetLabel()), "GeoReckon 1.0 版");
  EXPECT_EQ(Utf8(FindControl<wxStaticText>(&dialog, "description")->GetLabel()),
            "大地测量坐标及其相关计算程序");
}

// wx's own texts (the standard dialogs' and the print preview's) are Chinese
// like the program's, whatever language the desktop runs in.
TEST(GeoReckonShell, StockTextsInChinese) {
  EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), wxString::FromUTF8("取消"));
  EXPECT_EQ(wxGetTranslation("Print Preview"), wxString::FromUTF8("预览打印"));
}

}  // namespace
}  // namespace georeckon::test
