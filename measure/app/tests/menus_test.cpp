// The main frame as the user meets it: menus, toolbar, status bar, and which
// commands are available with and without a project.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/accel.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include "common/atomic_file.h"
#include "measure/app/command_ids.h"
#include "measure/app/edit_doc.h"
#include "measure/app/edit_view.h"
#include "measure/app/menus.h"
#include "measure/views/vistamet_view.h"
#include "measure/views/photo_min_view.h"
#include "measure/views/image_canvas.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }

// The items of a menu as "label" (mnemonic and key as written in the menu
// resource), "-" for a separator and "label >" for a submenu.
std::vector<std::string> Items(wxMenu* menu) {
  std::vector<std::string> out;
  for (wxMenuItem* item : menu->GetMenuItems()) {
    if (item->IsSeparator()) out.push_back("-");
    else if (item->IsSubMenu()) out.push_back(Utf8(item->GetItemLabel()) + " >");
    else out.push_back(Utf8(item->GetItemLabel()));
  }
  return out;
}

wxMenu* SubMenu(wxMenu* menu, const std::string& label) {
  for (wxMenuItem* item : menu->GetMenuItems())
    if (item->IsSubMenu() && Utf8(item->GetItemLabel()) == label) return item->GetSubMenu();
  return nullptr;
}

TEST(MainMenu, TopLevelMenusInOrder) {
  wxMenuBar* bar = Frame().GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const std::vector<std::string> expected = {"文件(&F)", "编辑(&E)", "查看(&V)", "设置(&O)",
                                             "操作(&C)", "工具(&T)", "窗口(&W)", "帮助(&H)"};
  std::vector<std::string> actual;
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) actual.push_back(Utf8(bar->GetMenuLabel(i)));
  EXPECT_EQ(actual, expected);
}

TEST(MainMenu, ItemsTextsKeysAndOrder) {
  wxMenuBar* bar = Frame().GetMenuBar();
  struct Case {
    int menu;
    const char* submenu_path[2];
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {0, {nullptr, nullptr},
       {"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "打开文本文件", "关闭(&C)", "保存(&S)\tCtrl+S",
        "另存为(&A)...", "-", "打印(&P)...\tCtrl+P", "打印预览(&V)", "打印设置(&R)...", "-",
        "最近文件 >", "-", "退出(&X)"}},
      {1, {nullptr, nullptr}, {"撤消(&U)\tCtrl+Z", "重做(&R)\tCtrl+Y"}},
      {2, {nullptr, nullptr},
       {"工具栏(&T)", "状态栏(&S)", "-", "列表数据(&L)", "平面成图(&M)", "三维模型(&3)"}},
      {3, {nullptr, nullptr}, {"选项设置(&S)..."}},
      {4, {nullptr, nullptr},
       {"特征点 >", "删除空间点(&4)\tAlt+4", "-", "整体平差(&A)\tCtrl+Enter",
        "距离测量(&S)\tAlt+S", "投影平面点(&P)", "-", "图像(&P) >", "-", "TEST >"}},
      {4, {"特征点 >", nullptr},
       {"编辑(&1)\tAlt+1", "清除编号(&2)\tAlt+2", "全部清除(&C)", "删除(&3)\tAlt+3",
        "任意添加(&5)\tAlt+5", "矩形角点(&6)\tAlt+6", "-", "自动提取三角点(&T)", "清扫图面 >"}},
      {4, {"特征点 >", "清扫图面 >"}, {"所有图像(&A)", "当前图像(&C)\tEsc"}},
      {4, {"图像(&P) >", nullptr}, {"放大\tCtrl+Down", "缩小\tCtrl+Up"}},
      {4, {"TEST >", nullptr}, {"坐标原点平移", "距离测试"}},
      {5, {nullptr, nullptr}, {"坐标投影与变换(&C)", "高程拟合(&H)", "计算器(&J)", "画图程序(&P)"}},
      {6, {nullptr, nullptr}, {"新建窗口(&N)", "层叠(&C)", "平铺(&T)", "排列图标(&A)"}},
      {7, {nullptr, nullptr}, {"帮助主题(&H)\tF1", "-", "关于 Vistamet(&A)..."}},
  };
  for (const Case& c : cases) {
    wxMenu* menu = bar->GetMenu(c.menu);
    std::string where = std::to_string(c.menu);
    for (const char* sub : c.submenu_path) {
      if (!sub) break;
      std::string label(sub);
      label.resize(label.size() - 2);  // without " >"
      menu = SubMenu(menu, label);
      where += " / " + label;
      ASSERT_NE(menu, nullptr) << where;
    }
    SCOPED_TRACE(where);
    EXPECT_EQ(Items(menu), c.items);
  }
}

TEST(MainMenu, KeysReachTheirCommands) {
  struct Case {
    int id;
    int flags;
    int key;
  };
  const Case cases[] = {
      {kCmdAdjust, wxACCEL_CTRL, WXK_RETURN},   {kCmdZoomIn, wxACCEL_CTRL, WXK_DOWN},
      {kCmdZoomOut, wxACCEL_CTRL, WXK_UP},      {kCmdSweepCurrent, wxACCEL_NORMAL, WXK_ESCAPE},
      {kCmdEditPoint, wxACCEL_ALT, '1'},        {kCmdDeleteSpacePoint, wxACCEL_ALT, '4'},
      {kCmdMeasureDistance, wxACCEL_ALT, 'S'},  {kCmdHelpTopics, wxACCEL_NORMAL, WXK_F1},
      {wxID_SAVE, wxACCEL_CTRL, 'S'},
  };
  for (const Case& c : cases) {
    wxMenuItem* item = Frame().GetMenuBar()->FindItem(c.id);
    ASSERT_NE(item, nullptr) << c.id;
    wxAcceleratorEntry* accel = item->GetAccel();
    ASSERT_NE(accel, nullptr) << Utf8(item->GetItemLabel());
    EXPECT_EQ(accel->GetFlags(), c.flags) << Utf8(item->GetItemLabel());
    EXPECT_EQ(accel->GetKeyCode(), c.key) << Utf8(item->GetItemLabel());
    delete accel;
  }
  // Close and exit carry no key.
  for (int id : {kCmdClose, kCmdExit}) {
    wxAcceleratorEntry* accel = Frame().GetMenuBar()->FindItem(id)->GetAccel();
    EXPECT_EQ(accel, nullptr);
    delete accel;
  }
}

// The command the main frame's key table gives a key, -1 for none.
int CommandOfKey(int flags, int key) {
  wxKeyEvent event(wxEVT_KEY_DOWN);
  event.m_keyCode = key;
  event.SetControlDown((flags & wxACCEL_CTRL) != 0);
  event.SetShiftDown((flags & wxACCEL_SHIFT) != 0);
  event.SetAltDown((flags & wxACCEL_ALT) != 0);
  const wxAcceleratorTable* table = Frame().GetAcceleratorTable();
  return table && table->IsOk() ? table->GetCommand(event) : -1;
}

// A key pressed where no window takes it: the command of the frame's table,
// sent as the toolkit sends it.
void PressKey(int flags, int key) {
  const int command = CommandOfKey(flags, key);
  ASSERT_NE(command, -1) << key;
  SendCommand(command);
}

TEST(MainKeys, KeysWithoutMenuItemsReachTheirCommands) {
  struct Case {
    int flags, key, id;
  };
  const Case cases[] = {
      {wxACCEL_NORMAL, WXK_F6, kCmdNextPane}, {wxACCEL_SHIFT, WXK_F6, kCmdPreviousPane},
      {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},  {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE},
      {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},  {wxACCEL_ALT, WXK_BACK, wxID_UNDO},
      {wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', wxID_REDO},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandOfKey(c.flags, c.key), c.id) << c.key;
  // The same keys with other modifiers, or none, are left to the windows.
  const Case others[] = {
      {wxACCEL_NORMAL, WXK_INSERT, 0}, {wxACCEL_NORMAL, WXK_DELETE, 0},
      {wxACCEL_NORMAL, WXK_BACK, 0},   {wxACCEL_CTRL, WXK_BACK, 0},
      {wxACCEL_CTRL, WXK_F6, 0},       {wxACCEL_SHIFT | wxACCEL_CTRL, WXK_INSERT, 0},
  };
  for (const Case& c : others) EXPECT_EQ(CommandOfKey(c.flags, c.key), -1) << c.key;
}

class PaneKeysTest : public testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }
  TempDir dir_;
};

TEST_F(PaneKeysTest, F6GoesBetweenTheStripAndTheImageView) {
  CProjectDocument* doc = Open(WriteProject(dir_, "panes.vmt"));
  ASSERT_NE(doc, nullptr);
  auto* view = dynamic_cast<CVistametView*>(doc->FindView(ViewKind::kProject));
  ASSERT_NE(view, nullptr);
  wxWindow* strip = view->Strip();
  wxWindow* canvas = view->Canvas();
  strip->SetFocus();
  ASSERT_EQ(wxWindow::FindFocus(), strip);
  PressKey(wxACCEL_NORMAL, WXK_F6);
  EXPECT_EQ(wxWindow::FindFocus(), canvas);
  PressKey(wxACCEL_NORMAL, WXK_F6);  // wraps around
  EXPECT_EQ(wxWindow::FindFocus(), strip);
  PressKey(wxACCEL_SHIFT, WXK_F6);
  EXPECT_EQ(wxWindow::FindFocus(), canvas);
  PressKey(wxACCEL_SHIFT, WXK_F6);
  EXPECT_EQ(wxWindow::FindFocus(), strip);
}

TEST_F(PaneKeysTest, F6InATextWindowFocusesTheText) {
  const std::string path = dir_.File("notes.txt");
  common::SaveFileAtomically(path, "abc\n");
  auto* doc = dynamic_cast<CEditDoc*>(Manager().OpenTextFile(wxString::FromUTF8(path)));
  ASSERT_NE(doc, nullptr);
  wxTextCtrl* text = doc->View()->Text();
  // From the frame, outside every pane, F6 reaches the one pane there is,
  // and stays there.
  ASSERT_EQ(MovePaneFocus(doc->View()->GetFrame(), true), text);
  PressKey(wxACCEL_NORMAL, WXK_F6);
  EXPECT_EQ(wxWindow::FindFocus(), text);
  PressKey(wxACCEL_SHIFT, WXK_F6);
  EXPECT_EQ(wxWindow::FindFocus(), text);
}

TEST_F(PaneKeysTest, SecondEditKeysWorkInATextWindow) {
  const std::string path = dir_.File("edit.txt");
  common::SaveFileAtomically(path, "abcdef");
  auto* doc = dynamic_cast<CEditDoc*>(Manager().OpenTextFile(wxString::FromUTF8(path)));
  ASSERT_NE(doc, nullptr);
  wxTextCtrl* text = doc->View()->Text();
  text->SetFocus();
  text->SetSelection(0, 3);
  PressKey(wxACCEL_SHIFT, WXK_DELETE);  // cut
  EXPECT_EQ(text->GetValue(), "def");
  text->SetSelection(0, 1);
  PressKey(wxACCEL_CTRL, WXK_INSERT);  // copy: the text stays
  EXPECT_EQ(text->GetValue(), "def");
}

TEST(WindowMenu, ArrangementIsUnavailableWhereWindowsAreTabs) {
  ASSERT_TRUE(wxMDIParentFrame::IsTDI());
  const std::vector<std::pair<int, std::string>> items = {
      {wxID_MDI_WINDOW_CASCADE, "窗口以标签页显示，无需层叠"},
      {wxID_MDI_WINDOW_TILE_HORZ, "窗口以标签页显示，无需平铺"},
      {wxID_MDI_WINDOW_ARRANGE_ICONS, "窗口以标签页显示，没有图标需要排列"},
  };
  TempDir dir;
  CloseAllDocuments();
  for (bool with_project : {false, true}) {
    if (with_project) {
      ASSERT_NE(Open(WriteProject(dir, "tabs.vmt")), nullptr);
    }
    for (const auto& [id, why] : items) {
      EXPECT_FALSE(QueryUi(id).enabled) << id << (with_project ? " with a project" : "");
      // The prompt of the item as the menu shows it.
      wxMenuItem* item = Frame().GetMenuBar()->FindItem(id);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(Utf8(item->GetHelp()), why);
      EXPECT_EQ(CommandPrompt(id), why);
    }
  }
  CloseAllDocuments();
}

TEST(MainMenu, StatusPromptsAndToolTipsComeFromOneCatalogue) {
  wxMenuBar* bar = Frame().GetMenuBar();
  EXPECT_EQ(Utf8(bar->FindItem(kCmdDataList)->GetHelp()), "列表显示测距、空间点、像点、相机等数据");
  EXPECT_EQ(Utf8(bar->FindItem(kCmdOptions)->GetHelp()), "设置平差参数及其他选项");
  EXPECT_EQ(Utf8(bar->FindItem(kCmdSweepCurrent)->GetHelp()), "清除当前图像的除垃圾数据，使图像简洁");
  wxToolBar* tb = Frame().GetToolBar();
  EXPECT_EQ(Utf8(tb->GetToolShortHelp(kCmdDataList)), "列表数据");
  EXPECT_EQ(Utf8(tb->GetToolShortHelp(kCmdOptions)), "选项设置");
  EXPECT_EQ(Utf8(tb->GetToolShortHelp(kCmdEditPoint)), "编辑特征点[Alt+1]");
  EXPECT_EQ(Utf8(tb->GetToolShortHelp(kCmdSweepCurrent)), "清扫当前图面[Esc]");
  EXPECT_EQ(Utf8(tb->GetToolLongHelp(kCmdZoomIn)), "图像放大");
  // Every tool has its tip and its image.
  for (size_t i = 0; i < tb->GetToolsCount(); ++i) {
    const wxToolBarToolBase* tool = tb->GetToolByPos(static_cast<int>(i));
    if (tool->IsSeparator()) continue;
    EXPECT_FALSE(tool->GetShortHelp().empty()) << tool->GetId();
    EXPECT_TRUE(tool->GetNormalBitmap().IsOk()) << tool->GetId();
  }
}

TEST(MainToolBar, ButtonsAndSeparatorsInOrder) {
  constexpr int kSep = -1;
  const std::vector<int> expected = {
      wxID_NEW, wxID_OPEN, wxID_SAVE, kSep, wxID_CUT, wxID_COPY, wxID_PASTE, kSep,
      kCmdDataList, kCmdPlanMap, kCmdModel3D, kSep, kCmdZoomIn, kCmdZoomOut, kSep,
      kCmdEditPoint, kCmdClearNumber, kCmdDeletePoint, kCmdDeleteSpacePoint, kCmdAddPoint,
      kCmdRectangleCorners, kCmdSweepCurrent, kSep, kCmdOptions, kCmdAdjust,
      kCmdMeasureDistance, kCmdPlanePoint, kSep, wxID_PRINT, kSep, kCmdGeoReckon, kCmdHeightFit,
      kSep, kCmdCalculator, kCmdPaint, kSep, wxID_ABOUT};
  wxToolBar* tb = Frame().GetToolBar();
  std::vector<int> actual;
  for (size_t i = 0; i < tb->GetToolsCount(); ++i) {
    const wxToolBarToolBase* tool = tb->GetToolByPos(static_cast<int>(i));
    actual.push_back(tool->IsSeparator() ? kSep : tool->GetId());
  }
  EXPECT_EQ(actual, expected);
}

TEST(MainStatusBar, ReadyTextAndIndicators) {
  wxStatusBar* sb = Frame().GetStatusBar();
  ASSERT_NE(sb, nullptr);
  ASSERT_EQ(sb->GetFieldsCount(), 4);
  Frame().ShowIndicators(true, false, true);
  EXPECT_EQ(Utf8(sb->GetStatusText(1)), "大写");
  EXPECT_EQ(Utf8(sb->GetStatusText(2)), "");
  EXPECT_EQ(Utf8(sb->GetStatusText(3)), "滚动");
  Frame().ShowIndicators(false, true, false);
  EXPECT_EQ(Utf8(sb->GetStatusText(1)), "");
  EXPECT_EQ(Utf8(sb->GetStatusText(2)), "数字");
}

TEST(MainStatusBar, WorkProgressWithItsStopButton) {
  auto work = std::make_shared<WorkProgress>();
  Frame().TrackWork(work);
  ASSERT_TRUE(Frame().ProgressShown());
  ASSERT_TRUE(Frame().StopButton()->IsShown());
  // A report from the worker reaches the bar and the message pane on the
  // frame's clock.
  work->Report(3, 10, "整体平差");
  Frame().ShowWorkProgress();
  EXPECT_EQ(Utf8(Frame().GetStatusBar()->GetStatusText(0)), "整体平差");
  // The button sits inside the message pane, right of the bar.
  wxRect pane;
  ASSERT_TRUE(Frame().GetStatusBar()->GetFieldRect(0, pane));
  EXPECT_TRUE(pane.Contains(Frame().StopButton()->GetRect().GetTopLeft()));
  // Stop asks the work to stop; the bar stays until the work has ended.
  wxCommandEvent click(wxEVT_BUTTON, Frame().StopButton()->GetId());
  click.SetEventObject(Frame().StopButton());
  Frame().StopButton()->GetEventHandler()->ProcessEvent(click);
  EXPECT_TRUE(work->StopRequested());
  EXPECT_FALSE(Frame().StopButton()->IsEnabled());
  EXPECT_EQ(Utf8(Frame().GetStatusBar()->GetStatusText(0)), "正在停止...");
  // Another work's end leaves it; its own end hides bar and button.
  WorkProgress other;
  Frame().EndWork(&other);
  EXPECT_TRUE(Frame().ProgressShown());
  Frame().EndWork(work.get());
  EXPECT_FALSE(Frame().ProgressShown());
  EXPECT_FALSE(Frame().StopButton()->IsShown());
  EXPECT_FALSE(Frame().TrackingWork());
}

TEST(MainFrame, TitleNamesTheActiveDocument) {
  CloseAllDocuments();
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
  EXPECT_EQ(Utf8(Frame().GetTitle()), "Vistamet 1.23");
  TempDir dir;
  ASSERT_NE(Open(WriteProject(dir, "titled.vmt")), nullptr);
  EXPECT_EQ(Utf8(Frame().GetTitle()), "Vistamet 1.23 - titled.vmt");
  CloseAllDocuments();
  EXPECT_EQ(Utf8(Frame().GetTitle()), "Vistamet 1.23");
}

TEST(Enabling, WithoutADocumentOnlyDocumentFreeCommandsWork) {
  CloseAllDocuments();
  for (int id : std::initializer_list<int>{wxID_NEW, wxID_OPEN, kCmdGeoReckon, kCmdCalculator, kCmdHelpTopics, wxID_ABOUT,
                 kCmdToggleToolBar, kCmdExit})
    EXPECT_TRUE(QueryUi(id).enabled) << id;
  for (int id : std::initializer_list<int>{kCmdDataList, kCmdPlanMap, kCmdModel3D, kCmdOptions, kCmdAdjust, kCmdExtract,
                 kCmdEditPoint, kCmdZoomIn, kCmdShiftOrigin, kCmdClose, kCmdOpenText, wxID_CUT})
    EXPECT_FALSE(QueryUi(id).enabled) << id;
}

TEST(Enabling, ViewBarsToggleWithCheckMarks) {
  EXPECT_TRUE(QueryUi(kCmdToggleToolBar).checked);
  SendCommand(kCmdToggleToolBar);
  EXPECT_FALSE(QueryUi(kCmdToggleToolBar).checked);
  SendCommand(kCmdToggleToolBar);
  EXPECT_TRUE(QueryUi(kCmdToggleToolBar).checked);
  SendCommand(kCmdToggleStatusBar);
  EXPECT_FALSE(QueryUi(kCmdToggleStatusBar).checked);
  SendCommand(kCmdToggleStatusBar);
  EXPECT_TRUE(QueryUi(kCmdToggleStatusBar).checked);
}

}  // namespace
}  // namespace vistamet::test
