#include "measure/app/main_frame.h"

#include <cstdlib>
#include <vector>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "measure/app/about_dialog.h"
#include "measure/shell/app_texts.h"
#include "measure/app/command_ids.h"
#include "measure/shell/desktop_integration.h"
#include "measure/app/icons/command_icons.h"
#include "measure/app/menus.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

constexpr int kIndicatorPanes = 3;
constexpr int kIndicatorTimer = 1;
constexpr int kWorkTimer = 2;

// Project files dropped on the frame are opened as from File, Open.
class CProjectDropTarget : public wxFileDropTarget {
 public:
  explicit CProjectDropTarget(wxDocManager* manager) : manager_(manager) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    bool any = false;
    for (const wxString& file : files) {
      if (!wxFileName(file).GetExt().IsSameAs(U(ui::kDocExtension), false)) continue;
      manager_->CreateDocument(file, wxDOC_SILENT);
      any = true;
    }
    return any;
  }

 private:
  wxDocManager* manager_;
};

// Starts a program without arguments and forgets it; a missing program is
// not reported.
void Launch(const wxString& program) {
  if (program.empty()) return;
  wxLogNull quiet;
  const wxString quoted = "\"" + program + "\"";
  wxExecute(quoted, wxEXEC_ASYNC);
}

// The first splitter under `root` that shows two windows, nearest first.
wxSplitterWindow* FindSplitter(wxWindow* root) {
  std::vector<wxWindow*> level{root};
  while (!level.empty()) {
    std::vector<wxWindow*> next;
    for (wxWindow* w : level) {
      auto* splitter = dynamic_cast<wxSplitterWindow*>(w);
      if (splitter && splitter->IsSplit()) return splitter;
      for (wxWindow* child : w->GetChildren()) next.push_back(child);
    }
    level.swap(next);
  }
  return nullptr;
}

void AddFocusable(wxWindow* parent, std::vector<wxWindow*>* out) {
  for (wxWindow* w : parent->GetChildren()) {
    if (w->IsTopLevel() || !w->IsShown() || !w->IsEnabled()) continue;
    if (w->AcceptsFocus()) out->push_back(w);
    else AddFocusable(w, out);
  }
}

// The panes that F6 goes through in a window: the two sides of its
// splitter, or else the windows in it that take the focus.
std::vector<wxWindow*> PanesOf(wxWindow* window) {
  if (wxSplitterWindow* splitter = FindSplitter(window))
    return {splitter->GetWindow1(), splitter->GetWindow2()};
  std::vector<wxWindow*> panes;
  AddFocusable(window, &panes);
  return panes;
}

}  // namespace

wxWindow* MovePaneFocus(wxWindow* window, bool forward) {
  if (!window) return nullptr;
  const std::vector<wxWindow*> panes = PanesOf(window);
  if (panes.empty()) return nullptr;
  const int n = static_cast<int>(panes.size());
  wxWindow* focus = wxWindow::FindFocus();
  int at = -1;
  for (int i = 0; i < n && focus; ++i)
    if (panes[i] == focus || panes[i]->IsDescendant(focus)) at = i;
  int to = forward ? 0 : n - 1;
  if (at >= 0) to = (at + (forward ? 1 : n - 1)) % n;
  panes[to]->SetFocus();
  return panes[to];
}

wxString ProgramFolder() {
  wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
  return exe.GetPathWithSep();
}

wxString UserGuidePath() {
  return wxString::FromUTF8(
      ShippedDataFile(ProgramFolder().ToStdString(wxConvUTF8), "Vistamet-manual.html"));
}

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocMDIParentFrame)
  EVT_MENU(kCmdToggleToolBar, CMainFrame::OnToggleToolBar)
  EVT_UPDATE_UI(kCmdToggleToolBar, CMainFrame::OnUpdateToolBar)
  EVT_MENU(kCmdToggleStatusBar, CMainFrame::OnToggleStatusBar)
  EVT_UPDATE_UI(kCmdToggleStatusBar, CMainFrame::OnUpdateStatusBar)
  EVT_MENU(kCmdGeoReckon, CMainFrame::OnTool)
  EVT_MENU(kCmdHeightFit, CMainFrame::OnTool)
  EVT_MENU(kCmdCalculator, CMainFrame::OnTool)
  EVT_MENU(kCmdPaint, CMainFrame::OnTool)
  EVT_MENU(kCmdClose, CMainFrame::OnCloseDocument)
  EVT_UPDATE_UI(kCmdClose, CMainFrame::OnUpdateCloseDocument)
  EVT_MENU(kCmdExit, CMainFrame::OnExitCommand)
  EVT_UPDATE_UI(kCmdExit, CMainFrame::OnUpdateEnabled)
  EVT_MENU(kCmdHelpTopics, CMainFrame::OnHelpTopics)
  EVT_MENU(wxID_ABOUT, CMainFrame::OnAbout)
  EVT_MENU(kCmdNextPane, CMainFrame::OnNextPane)
  EVT_MENU(kCmdPreviousPane, CMainFrame::OnNextPane)
  EVT_UPDATE_UI(kCmdNextPane, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(kCmdPreviousPane, CMainFrame::OnUpdateEnabled)
  EVT_MENU(wxID_MDI_WINDOW_CASCADE, CMainFrame::OnArrange)
  EVT_MENU(wxID_MDI_WINDOW_TILE_HORZ, CMainFrame::OnArrange)
  EVT_MENU(wxID_MDI_WINDOW_ARRANGE_ICONS, CMainFrame::OnArrange)
  EVT_UPDATE_UI(wxID_MDI_WINDOW_CASCADE, CMainFrame::OnUpdateArrange)
  EVT_UPDATE_UI(wxID_MDI_WINDOW_TILE_HORZ, CMainFrame::OnUpdateArrange)
  EVT_UPDATE_UI(wxID_MDI_WINDOW_ARRANGE_ICONS, CMainFrame::OnUpdateArrange)
  EVT_UPDATE_UI(kCmdGeoReckon, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(kCmdHeightFit, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(kCmdCalculator, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(kCmdPaint, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(kCmdHelpTopics, CMainFrame::OnUpdateEnabled)
  EVT_UPDATE_UI(wxID_ABOUT, CMainFrame::OnUpdateEnabled)
  // A command that no open window takes is disabled, as are the clipboard
  // commands outside a text window.
  EVT_UPDATE_UI_RANGE(kCmdFirst, kCmdLast, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(wxID_UNDO, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(wxID_REDO, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(wxID_CUT, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(wxID_COPY, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(wxID_PASTE, CMainFrame::OnUpdateUnhandled)
  EVT_MENU_OPEN(CMainFrame::OnMenuOpen)
  EVT_TIMER(kIndicatorTimer, CMainFrame::OnIndicatorTimer)
  EVT_TIMER(kWorkTimer, CMainFrame::OnWorkTimer)
  EVT_CHAR_HOOK(CMainFrame::OnCharHook)
  EVT_IDLE(CMainFrame::OnIdle)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocMDIParentFrame(manager, nullptr, wxID_ANY, U(ui::kMainTitle), wxDefaultPosition,
                          wxSize(1024, 740)),
      indicator_timer_(this, kIndicatorTimer),
      work_timer_(this, kWorkTimer) {
  SetIcons(AppIcons());
  SetMenuBar(CreateProjectMenuBar(manager->GetFileHistory()));
  // The keys without a menu item; the menu items' own keys come with the
  // menus. A key pressed in a document window reaches this table too.
  SetAcceleratorTable(CreateExtraKeys());

  wxToolBar* toolbar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxNO_BORDER);
  PopulateToolBar(toolbar);

  wxStatusBar* status = CreateStatusBar(1 + kIndicatorPanes);
  int widths[1 + kIndicatorPanes] = {-1, 0, 0, 0};
  const wxSize text = status->GetTextExtent(U(ui::kIndicatorCaps));
  for (int i = 1; i <= kIndicatorPanes; ++i) widths[i] = text.GetWidth() + 16;
  status->SetStatusWidths(1 + kIndicatorPanes, widths);
  SetStatusText(U(ui::kReady), 0);
  gauge_ = new wxGauge(status, wxID_ANY, 100, wxDefaultPosition, wxDefaultSize,
                       wxGA_HORIZONTAL | wxGA_SMOOTH);
  gauge_->Hide();
  stop_ = new wxButton(status, wxID_ANY, U(ui::kStopWork), wxDefaultPosition, wxDefaultSize,
                       wxBU_EXACTFIT);
  stop_->SetToolTip(U(ui::kStopWorkTip));
  stop_->Bind(wxEVT_BUTTON, &CMainFrame::OnStopWork, this);
  stop_->Hide();
  // Tall enough for the button, so that its label is never cut.
  status->SetMinHeight(stop_->GetBestSize().GetHeight() + 4);
  status->Bind(wxEVT_SIZE, &CMainFrame::OnStatusSize, this);

  SetDropTarget(new CProjectDropTarget(manager));
  indicator_timer_.Start(300);
}

CMainFrame::~CMainFrame() {
  indicator_timer_.Stop();
  work_timer_.Stop();
}

// --- Status bar ---

void CMainFrame::PlaceGauge() {
  wxStatusBar* status = GetStatusBar();
  if (!status || !gauge_) return;
  wxRect rect;
  if (!status->GetFieldRect(0, rect)) return;
  // The right half of the message pane; the left half keeps its text. The
  // stop button, while work runs on the worker, ends the pane.
  rect.x += rect.width / 2;
  rect.width -= rect.width / 2;
  rect.Deflate(2, 1);
  if (stop_ && stop_->IsShown()) {
    const int button = stop_->GetBestSize().GetWidth();
    stop_->SetSize(rect.GetRight() - button + 1, rect.y, button, rect.height);
    rect.width -= button + 4;
  }
  rect.Deflate(0, 1);
  gauge_->SetSize(rect);
}

void CMainFrame::OnStatusSize(wxSizeEvent& event) {
  PlaceGauge();
  event.Skip();
}

void CMainFrame::ShowProgress(int done, int total) {
  if (!gauge_) return;
  if (total < 1) total = 1;
  if (done < 0) done = 0;
  if (done > total) done = total;
  if (gauge_->GetRange() != total) gauge_->SetRange(total);
  gauge_->SetValue(done);
  if (!gauge_->IsShown()) {
    PlaceGauge();
    gauge_->Show();
  }
  gauge_->Update();
}

void CMainFrame::HideProgress() {
  if (gauge_) gauge_->Hide();
}

bool CMainFrame::ProgressShown() const { return gauge_ && gauge_->IsShown(); }

void CMainFrame::TrackWork(std::shared_ptr<WorkProgress> progress) {
  if (!progress) return;
  work_ = std::move(progress);
  work_reports_ = 0;
  stop_->Enable();
  stop_->Show();
  ShowProgress(0, 1);
  PlaceGauge();
  work_timer_.Start(100);
}

void CMainFrame::EndWork(const WorkProgress* progress) {
  if (!work_ || work_.get() != progress) return;
  work_timer_.Stop();
  work_.reset();
  stop_->Hide();
  HideProgress();
}

void CMainFrame::ShowWorkProgress() {
  if (!work_) return;
  const WorkProgress::State state = work_->Latest();
  if (state.reports == work_reports_) return;
  work_reports_ = state.reports;
  if (!state.text.empty() && !work_->StopRequested())
    SetStatusText(wxString::FromUTF8(state.text.data(), state.text.size()), 0);
  ShowProgress(state.done, state.total);
}

void CMainFrame::OnWorkTimer(wxTimerEvent&) { ShowWorkProgress(); }

void CMainFrame::OnStopWork(wxCommandEvent&) {
  if (!work_) return;
  work_->RequestStop();
  stop_->Disable();
  SetStatusText(U(ui::kStoppingWork), 0);
}

void CMainFrame::OnCharHook(wxKeyEvent& event) {
  if (work_ && event.GetKeyCode() == WXK_ESCAPE && !work_->StopRequested()) {
    wxCommandEvent click;
    OnStopWork(click);
    return;
  }
  event.Skip();
}

void CMainFrame::ShowIndicators(bool caps, bool num, bool scroll) {
  const bool on[kIndicatorPanes] = {caps, num, scroll};
  const char* names[kIndicatorPanes] = {ui::kIndicatorCaps, ui::kIndicatorNum,
                                        ui::kIndicatorScroll};
  wxStatusBar* status = GetStatusBar();
  if (!status) return;
  for (int i = 0; i < kIndicatorPanes; ++i) {
    const wxString text = on[i] ? U(names[i]) : wxString();
    if (status->GetStatusText(i + 1) != text) status->SetStatusText(text, i + 1);
  }
}

wxString CMainFrame::TitleFor(const wxDocument* doc) {
  wxString title = U(ui::kMainTitle);
  if (doc) title += " - " + doc->GetUserReadableName();
  return title;
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  // The title bar names the active document.
  const wxDocManager* manager = GetDocumentManager();
  const wxString title = TitleFor(manager ? manager->GetCurrentDocument() : nullptr);
  if (GetTitle() != title) SetTitle(title);
  event.Skip();
}

void CMainFrame::OnIndicatorTimer(wxTimerEvent&) {
  ShowIndicators(wxGetKeyState(WXK_CAPITAL), wxGetKeyState(WXK_NUMLOCK),
                 wxGetKeyState(WXK_SCROLL));
}

// --- Bars ---

void CMainFrame::OnToggleToolBar(wxCommandEvent&) {
  if (wxToolBar* tb = GetToolBar()) {
    tb->Show(!tb->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateToolBar(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(GetToolBar() && GetToolBar()->IsShown());
}

void CMainFrame::OnToggleStatusBar(wxCommandEvent&) {
  if (wxStatusBar* sb = GetStatusBar()) {
    sb->Show(!sb->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateStatusBar(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(GetStatusBar() && GetStatusBar()->IsShown());
}

// --- Commands without a document ---

void CMainFrame::OnTool(wxCommandEvent& event) {
  const char* path_env = std::getenv("PATH");
  const std::string search = path_env ? path_env : "";
  const std::string folder = ProgramFolder().ToStdString(wxConvUTF8);
  std::string program;
  switch (event.GetId()) {
    case kCmdGeoReckon: program = FindProgram({folder + "GeoReckon"}, search); break;
    case kCmdHeightFit: program = FindProgram({folder + "ElevaGrid"}, search); break;
    case kCmdCalculator: program = FindProgram(CalculatorPrograms(), search); break;
    case kCmdPaint: program = FindProgram(PaintPrograms(), search); break;
    default: break;
  }
  Launch(wxString::FromUTF8(program));
}

void CMainFrame::OnCloseDocument(wxCommandEvent&) {
  wxDocManager* manager = GetDocumentManager();
  if (wxDocument* doc = manager ? manager->GetCurrentDocument() : nullptr)
    manager->CloseDocument(doc, false);
}

void CMainFrame::OnUpdateCloseDocument(wxUpdateUIEvent& event) {
  wxDocManager* manager = GetDocumentManager();
  event.Enable(manager && manager->GetCurrentDocument() != nullptr);
}

void CMainFrame::OnExitCommand(wxCommandEvent&) { Close(); }

void CMainFrame::OnHelpTopics(wxCommandEvent&) {
  const wxString manual = UserGuidePath();
  if (manual.empty()) return;
  wxLogNull quiet;
  wxLaunchDefaultApplication(manual);
}

void CMainFrame::OnAbout(wxCommandEvent&) {
  CAboutDialog about(this);
  about.ShowModal();
}

void CMainFrame::OnNextPane(wxCommandEvent& event) {
  MovePaneFocus(GetActiveChild(), event.GetId() == kCmdNextPane);
}

void CMainFrame::OnArrange(wxCommandEvent& event) {
  switch (event.GetId()) {
    case wxID_MDI_WINDOW_CASCADE: Cascade(); break;
    case wxID_MDI_WINDOW_TILE_HORZ: Tile(wxHORIZONTAL); break;
    default: ArrangeIcons(); break;
  }
}

void CMainFrame::OnUpdateArrange(wxUpdateUIEvent& event) {
  // Tabs cannot be cascaded, tiled or iconised: there the commands stay
  // disabled and their prompts say why.
  event.Enable(!IsTDI() && GetActiveChild() != nullptr);
}

void CMainFrame::OnUpdateEnabled(wxUpdateUIEvent& event) { event.Enable(true); }

void CMainFrame::OnUpdateUnhandled(wxUpdateUIEvent& event) { event.Enable(false); }

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
  // The recent-file submenu is available only when it lists something.
  if (wxMenu* recent = RecentFilesMenu(GetMenuBar())) {
    wxMenu* file = GetMenuBar()->GetMenu(0);
    for (wxMenuItem* item : file->GetMenuItems())
      if (item->GetSubMenu() == recent) item->Enable(recent->GetMenuItemCount() > 0);
  }
  event.Skip();
}

}  // namespace vistamet
