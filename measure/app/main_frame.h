// The main frame: holds the document windows, the menus, the main toolbar
// and the status bar (message pane, the caps, num and scroll indicators,
// and a progress bar for long work); accepts dropped project files and runs
// the commands that need no document (tools, help, about).
#pragma once

#include <memory>

#include <wx/docmdi.h>
#include <wx/timer.h>

#include "measure/compute/work_progress.h"
#include "measure/records/user_prompt.h"

class wxButton;
class wxGauge;

namespace vistamet {

class CMainFrame : public wxDocMDIParentFrame {
 public:
  explicit CMainFrame(wxDocManager* manager);
  ~CMainFrame() override;

  // The progress bar over the message pane: shown at the first report,
  // hidden by HideProgress.
  void ShowProgress(int done, int total);
  void HideProgress();
  bool ProgressShown() const;

  // Work on a worker thread: from TrackWork until EndWork with the same
  // progress, the progress bar and the message pane follow its reports on
  // the frame's clock, and a stop button (or Esc) asks the work to stop.
  void TrackWork(std::shared_ptr<WorkProgress> progress);
  void EndWork(const WorkProgress* progress);
  bool TrackingWork() const { return work_ != nullptr; }
  wxButton* StopButton() const { return stop_; }
  // Takes the latest report now (the clock does it ten times a second).
  void ShowWorkProgress();

  // The status-bar indicators ("大写", "数字", "滚动") for the given key
  // states.
  void ShowIndicators(bool caps, bool num, bool scroll);

  // "Vistamet 1.23", followed by the active document's name.
  static wxString TitleFor(const wxDocument* doc);

 private:
  void OnToggleToolBar(wxCommandEvent& event);
  void OnUpdateToolBar(wxUpdateUIEvent& event);
  void OnToggleStatusBar(wxCommandEvent& event);
  void OnUpdateStatusBar(wxUpdateUIEvent& event);
  void OnCloseDocument(wxCommandEvent& event);
  void OnUpdateCloseDocument(wxUpdateUIEvent& event);
  void OnExitCommand(wxCommandEvent& event);
  void OnTool(wxCommandEvent& event);
  void OnHelpTopics(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnNextPane(wxCommandEvent& event);
  void OnArrange(wxCommandEvent& event);
  void OnUpdateArrange(wxUpdateUIEvent& event);
  void OnUpdateEnabled(wxUpdateUIEvent& event);
  void OnUpdateUnhandled(wxUpdateUIEvent& event);
  void OnMenuOpen(wxMenuEvent& event);
  void OnIndicatorTimer(wxTimerEvent& event);
  void OnIdle(wxIdleEvent& event);
  void OnStatusSize(wxSizeEvent& event);
  void OnWorkTimer(wxTimerEvent& event);
  void OnStopWork(wxCommandEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void PlaceGauge();

  wxGauge* gauge_ = nullptr;
  wxButton* stop_ = nullptr;
  wxTimer indicator_timer_;
  wxTimer work_timer_;
  std::shared_ptr<WorkProgress> work_;
  int work_reports_ = 0;  // reports of work_ already shown

  wxDECLARE_EVENT_TABLE();
};

// The program's folder (with a trailing separator).
wxString ProgramFolder();

// The user's guide shipped with the program, wherever the install put it
// ("" when it is missing).
wxString UserGuidePath();

// Moves the focus to the next (or previous) pane of `window`, wrapping
// around: the two sides of its splitter, or else the windows in it that take
// the focus. From outside every pane the first (or last) one gets it.
// Returns the pane now focused, nullptr when there is none.
wxWindow* MovePaneFocus(wxWindow* window, bool forward);

}  // namespace vistamet
