// The main frame: holds the document windows, the menus, the main toolbar
// and the status bar (message pane, the caps, num and scroll indicators,
// and a progress bar for long work); accepts dropped project files and runs
// the commands that need no document (tools, help, about).
#pragma once

#include <wx/docmdi.h>
#include <wx/timer.h>

#include "measure/records/user_prompt.h"

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
  void PlaceGauge();

  wxGauge* gauge_ = nullptr;
  wxTimer indicator_timer_;

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
