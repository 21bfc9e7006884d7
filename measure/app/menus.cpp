#include "measure/app/menus.h"

#include <iterator>
#include <string_view>

#include <wx/accel.h>
#include <wx/filehistory.h>
#include <wx/mdi.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include "measure/shell/app_texts.h"
#include "measure/app/command_ids.h"
#include "measure/app/icons/command_icons.h"

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace vistamet {

namespace {

wxString U(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

struct PromptEntry {
  int id;
  const char* prompt;  // "status-bar text\ntool tip"
};

constexpr PromptEntry kPrompts[] = {
    {wxID_NEW, ui::kPromptNew},
    {wxID_OPEN, ui::kPromptOpen},
    {kCmdOpenText, ui::kPromptOpenText},
    {kCmdClose, ui::kPromptClose},
    {wxID_SAVE, ui::kPromptSave},
    {wxID_SAVEAS, ui::kPromptSaveAs},
    {wxID_PRINT, ui::kPromptPrint},
    {wxID_PREVIEW, ui::kPromptPrintPreview},
    {wxID_PRINT_SETUP, ui::kPromptPrintSetup},
    {kCmdExit, ui::kPromptExit},
    {wxID_UNDO, ui::kPromptUndo},
    {wxID_REDO, ui::kPromptRedo},
    {wxID_CUT, ui::kPromptCut},
    {wxID_COPY, ui::kPromptCopy},
    {wxID_PASTE, ui::kPromptPaste},
    {kCmdToggleToolBar, ui::kPromptToolBar},
    {kCmdToggleStatusBar, ui::kPromptStatusBar},
    {kCmdDataList, ui::kPromptDataList},
    {kCmdPlanMap, ui::kPromptPlanMap},
    {kCmdModel3D, ui::kPromptModel3D},
    {kCmdOptions, ui::kPromptOptions},
    {kCmdEditPoint, ui::kPromptEditPoint},
    {kCmdClearNumber, ui::kPromptClearNumber},
    {kCmdClearAllNumbers, ui::kPromptClearAllNumbers},
    {kCmdDeletePoint, ui::kPromptDeletePoint},
    {kCmdAddPoint, ui::kPromptAddPoint},
    {kCmdRectangleCorners, ui::kPromptRectangleCorners},
    {kCmdExtract, ui::kPromptExtract},
    {kCmdSweepAll, ui::kPromptSweepAll},
    {kCmdSweepCurrent, ui::kPromptSweepCurrent},
    {kCmdDeleteSpacePoint, ui::kPromptDeleteSpacePoint},
    {kCmdAdjust, ui::kPromptAdjust},
    {kCmdMeasureDistance, ui::kPromptMeasureDistance},
    {kCmdPlanePoint, ui::kPromptPlanePoint},
    {kCmdZoomIn, ui::kPromptZoomIn},
    {kCmdZoomOut, ui::kPromptZoomOut},
    {kCmdShiftOrigin, ui::kPromptShiftOrigin},
    {kCmdDistanceTest, ui::kPromptDistanceTest},
    {kCmdGeoReckon, ui::kPromptGeoReckon},
    {kCmdHeightFit, ui::kPromptHeightFit},
    {kCmdCalculator, ui::kPromptCalculator},
    {kCmdPaint, ui::kPromptPaint},
    {kCmdNewWindow, ui::kPromptNewWindow},
    {wxID_MDI_WINDOW_CASCADE, ui::kPromptCascade},
    {wxID_MDI_WINDOW_TILE_HORZ, ui::kPromptTile},
    {wxID_MDI_WINDOW_ARRANGE_ICONS, ui::kPromptArrangeIcons},
    {kCmdHelpTopics, ui::kPromptHelpTopics},
    {wxID_ABOUT, ui::kPromptAbout},
};

// Where the document windows are tabs the window arrangement commands are
// not available; their prompts say why.
constexpr PromptEntry kTabbedPrompts[] = {
    {wxID_MDI_WINDOW_CASCADE, ui::kPromptCascadeTabbed},
    {wxID_MDI_WINDOW_TILE_HORZ, ui::kPromptTileTabbed},
    {wxID_MDI_WINDOW_ARRANGE_ICONS, ui::kPromptArrangeIconsTabbed},
};

std::string_view FullPrompt(int id) {
  if (wxMDIParentFrame::IsTDI())
    for (const PromptEntry& e : kTabbedPrompts)
      if (e.id == id) return e.prompt;
  for (const PromptEntry& e : kPrompts)
    if (e.id == id) return e.prompt;
  return {};
}

// GTK hides menu images unless told otherwise for each item. The toolkit
// is already loaded by wx; its function is looked up once at run time.
void ShowImageAlways(wxMenuItem* item) {
#ifdef __WXGTK__
  using SetAlwaysShow = void (*)(void* image_menu_item, int always);
  static const auto set_always_show = reinterpret_cast<SetAlwaysShow>(
      ::dlsym(RTLD_DEFAULT, "gtk_image_menu_item_set_always_show_image"));
  if (set_always_show && item->GetMenuItem()) set_always_show(item->GetMenuItem(), 1);
#else
  (void)item;
#endif
}

// A command item: its status-bar prompt and, for a plain item, the image
// of its toolbar button. Check items show their check mark instead.
void Add(wxMenu* menu, int id, const char* label, wxItemKind kind = wxITEM_NORMAL) {
  auto* item = new wxMenuItem(menu, id, U(label), U(CommandPrompt(id)), kind);
  const wxBitmap image = kind == wxITEM_NORMAL ? CommandBitmap(id) : wxNullBitmap;
  if (image.IsOk()) item->SetBitmap(image);
  menu->Append(item);
  if (image.IsOk()) ShowImageAlways(item);
}

void AddCheck(wxMenu* menu, int id, const char* label) { Add(menu, id, label, wxITEM_CHECK); }

wxMenu* FileMenu(wxFileHistory* history, bool project) {
  auto* m = new wxMenu;
  Add(m, wxID_NEW, ui::kItemNew);
  Add(m, wxID_OPEN, ui::kItemOpen);
  if (project) Add(m, kCmdOpenText, ui::kItemOpenText);
  Add(m, kCmdClose, ui::kItemClose);
  Add(m, wxID_SAVE, ui::kItemSave);
  Add(m, wxID_SAVEAS, ui::kItemSaveAs);
  m->AppendSeparator();
  Add(m, wxID_PRINT, ui::kItemPrint);
  Add(m, wxID_PREVIEW, ui::kItemPrintPreview);
  Add(m, wxID_PRINT_SETUP, ui::kItemPrintSetup);
  m->AppendSeparator();
  auto* recent = new wxMenu;
  m->AppendSubMenu(recent, U(ui::kItemRecentFiles), U(ui::kPromptRecentFile));
  if (history) {
    history->UseMenu(recent);
    history->AddFilesToMenu(recent);
  }
  m->AppendSeparator();
  Add(m, kCmdExit, ui::kItemExit);
  return m;
}

wxMenu* ViewMenu(bool project) {
  auto* m = new wxMenu;
  AddCheck(m, kCmdToggleToolBar, ui::kItemToolBar);
  AddCheck(m, kCmdToggleStatusBar, ui::kItemStatusBar);
  if (project) {
    m->AppendSeparator();
    AddCheck(m, kCmdDataList, ui::kItemDataList);
    AddCheck(m, kCmdPlanMap, ui::kItemPlanMap);
    AddCheck(m, kCmdModel3D, ui::kItemModel3D);
  }
  return m;
}

wxMenu* OperateMenu() {
  auto* features = new wxMenu;
  AddCheck(features, kCmdEditPoint, ui::kItemEditPoint);
  AddCheck(features, kCmdClearNumber, ui::kItemClearNumber);
  Add(features, kCmdClearAllNumbers, ui::kItemClearAllNumbers);
  AddCheck(features, kCmdDeletePoint, ui::kItemDeletePoint);
  AddCheck(features, kCmdAddPoint, ui::kItemAddPoint);
  AddCheck(features, kCmdRectangleCorners, ui::kItemRectangleCorners);
  features->AppendSeparator();
  AddCheck(features, kCmdExtract, ui::kItemExtract);
  auto* sweep = new wxMenu;
  Add(sweep, kCmdSweepAll, ui::kItemSweepAll);
  Add(sweep, kCmdSweepCurrent, ui::kItemSweepCurrent);
  features->AppendSubMenu(sweep, U(ui::kMenuSweep));

  auto* image = new wxMenu;
  Add(image, kCmdZoomIn, ui::kItemZoomIn);
  Add(image, kCmdZoomOut, ui::kItemZoomOut);

  auto* test = new wxMenu;
  Add(test, kCmdShiftOrigin, ui::kItemShiftOrigin);
  Add(test, kCmdDistanceTest, ui::kItemDistanceTest);

  auto* m = new wxMenu;
  m->AppendSubMenu(features, U(ui::kMenuFeaturePoints));
  AddCheck(m, kCmdDeleteSpacePoint, ui::kItemDeleteSpacePoint);
  m->AppendSeparator();
  Add(m, kCmdAdjust, ui::kItemAdjust);
  AddCheck(m, kCmdMeasureDistance, ui::kItemMeasureDistance);
  AddCheck(m, kCmdPlanePoint, ui::kItemPlanePoint);
  m->AppendSeparator();
  m->AppendSubMenu(image, U(ui::kMenuImage));
  m->AppendSeparator();
  m->AppendSubMenu(test, U(ui::kMenuTest));
  return m;
}

wxMenu* WindowMenu() {
  auto* m = new wxMenu;
  Add(m, kCmdNewWindow, ui::kItemNewWindow);
  Add(m, wxID_MDI_WINDOW_CASCADE, ui::kItemCascade);
  Add(m, wxID_MDI_WINDOW_TILE_HORZ, ui::kItemTile);
  Add(m, wxID_MDI_WINDOW_ARRANGE_ICONS, ui::kItemArrangeIcons);
  return m;
}

wxMenu* HelpMenu() {
  auto* m = new wxMenu;
  Add(m, kCmdHelpTopics, ui::kItemHelpTopics);
  m->AppendSeparator();
  Add(m, wxID_ABOUT, ui::kItemAbout);
  return m;
}

}  // namespace

std::string CommandPrompt(int id) {
  const std::string_view full = FullPrompt(id);
  return std::string(full.substr(0, full.find('\n')));
}

std::string CommandTip(int id) {
  const std::string_view full = FullPrompt(id);
  const size_t nl = full.find('\n');
  return nl == std::string_view::npos ? std::string() : std::string(full.substr(nl + 1));
}

wxMenuBar* CreateProjectMenuBar(wxFileHistory* history) {
  auto* bar = new wxMenuBar;
  bar->Append(FileMenu(history, true), U(ui::kMenuFile));
  auto* edit = new wxMenu;
  Add(edit, wxID_UNDO, ui::kItemUndo);
  Add(edit, wxID_REDO, ui::kItemRedo);
  bar->Append(edit, U(ui::kMenuEdit));
  bar->Append(ViewMenu(true), U(ui::kMenuView));
  auto* settings = new wxMenu;
  Add(settings, kCmdOptions, ui::kItemOptions);
  bar->Append(settings, U(ui::kMenuSettings));
  bar->Append(OperateMenu(), U(ui::kMenuOperate));
  auto* tools = new wxMenu;
  Add(tools, kCmdGeoReckon, ui::kItemGeoReckon);
  Add(tools, kCmdHeightFit, ui::kItemHeightFit);
  Add(tools, kCmdCalculator, ui::kItemCalculator);
  Add(tools, kCmdPaint, ui::kItemPaint);
  bar->Append(tools, U(ui::kMenuTools));
  bar->Append(WindowMenu(), U(ui::kMenuWindow));
  bar->Append(HelpMenu(), U(ui::kMenuHelp));
  return bar;
}

wxMenuBar* CreateTextMenuBar(wxFileHistory* history) {
  auto* bar = new wxMenuBar;
  bar->Append(FileMenu(history, false), U(ui::kMenuFile));
  auto* edit = new wxMenu;
  Add(edit, wxID_UNDO, ui::kItemUndo);
  edit->AppendSeparator();
  Add(edit, wxID_CUT, ui::kItemCut);
  Add(edit, wxID_COPY, ui::kItemCopy);
  Add(edit, wxID_PASTE, ui::kItemPaste);
  bar->Append(edit, U(ui::kMenuEdit));
  bar->Append(ViewMenu(false), U(ui::kMenuView));
  bar->Append(WindowMenu(), U(ui::kMenuWindow));
  bar->Append(HelpMenu(), U(ui::kMenuHelp));
  return bar;
}

wxMenu* RecentFilesMenu(wxMenuBar* bar) {
  if (!bar || bar->GetMenuCount() == 0) return nullptr;
  wxMenu* file = bar->GetMenu(0);
  for (wxMenuItem* item : file->GetMenuItems())
    if (item->IsSubMenu() && item->GetItemLabelText() == U(ui::kItemRecentFiles))
      return item->GetSubMenu();
  return nullptr;
}

wxAcceleratorTable CreateExtraKeys() {
  wxAcceleratorEntry keys[] = {
      {wxACCEL_NORMAL, WXK_F6, kCmdNextPane},  {wxACCEL_SHIFT, WXK_F6, kCmdPreviousPane},
      {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},   {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE},
      {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},   {wxACCEL_ALT, WXK_BACK, wxID_UNDO},
      {wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', wxID_REDO},
  };
  return wxAcceleratorTable(static_cast<int>(std::size(keys)), keys);
}

void PopulateToolBar(wxToolBar* tb) {
  struct Tool {
    int id;
    wxItemKind kind;
  };
  constexpr int kSep = -1;
  const Tool tools[] = {
      {wxID_NEW, wxITEM_NORMAL},         {wxID_OPEN, wxITEM_NORMAL},
      {wxID_SAVE, wxITEM_NORMAL},        {kSep, wxITEM_NORMAL},
      {wxID_CUT, wxITEM_NORMAL},         {wxID_COPY, wxITEM_NORMAL},
      {wxID_PASTE, wxITEM_NORMAL},       {kSep, wxITEM_NORMAL},
      {kCmdDataList, wxITEM_CHECK},      {kCmdPlanMap, wxITEM_CHECK},
      {kCmdModel3D, wxITEM_CHECK},       {kSep, wxITEM_NORMAL},
      {kCmdZoomIn, wxITEM_NORMAL},       {kCmdZoomOut, wxITEM_NORMAL},
      {kSep, wxITEM_NORMAL},             {kCmdEditPoint, wxITEM_CHECK},
      {kCmdClearNumber, wxITEM_CHECK},   {kCmdDeletePoint, wxITEM_CHECK},
      {kCmdDeleteSpacePoint, wxITEM_CHECK}, {kCmdAddPoint, wxITEM_CHECK},
      {kCmdRectangleCorners, wxITEM_CHECK}, {kCmdSweepCurrent, wxITEM_NORMAL},
      {kSep, wxITEM_NORMAL},             {kCmdOptions, wxITEM_NORMAL},
      {kCmdAdjust, wxITEM_NORMAL},       {kCmdMeasureDistance, wxITEM_CHECK},
      {kCmdPlanePoint, wxITEM_CHECK},    {kSep, wxITEM_NORMAL},
      {wxID_PRINT, wxITEM_NORMAL},       {kSep, wxITEM_NORMAL},
      {kCmdGeoReckon, wxITEM_NORMAL},    {kCmdHeightFit, wxITEM_NORMAL},
      {kSep, wxITEM_NORMAL},             {kCmdCalculator, wxITEM_NORMAL},
      {kCmdPaint, wxITEM_NORMAL},        {kSep, wxITEM_NORMAL},
      {wxID_ABOUT, wxITEM_NORMAL},
  };
  tb->SetToolBitmapSize(wxSize(16, 16));
  for (const Tool& t : tools) {
    if (t.id == kSep) {
      tb->AddSeparator();
      continue;
    }
    tb->AddTool(t.id, wxEmptyString, CommandBitmap(t.id), U(CommandTip(t.id)), t.kind);
    tb->SetToolLongHelp(t.id, U(CommandPrompt(t.id)));
  }
  tb->Realize();
}

}  // namespace vistamet
