// Autosave and recovery in the windows: a timer writes every changed
// project to its recovery file (measure/shell/recovery.h); opening a project
// or starting the program offers what a crashed or killed run left.
#pragma once

#include <string>

#include <wx/event.h>
#include <wx/timer.h>

class wxDocManager;

namespace vistamet {

class CProjectDocument;

// The recovery folder of this user ($XDG_DATA_HOME/Vistamet/recovery).
std::string RecoveryFolderOfUser();
// The recovery files' name of a project document: from its file once it
// has one, else from this process and the document.
std::string RecoveryStemOf(const CProjectDocument& doc, const std::string& path);

class CAutosave : public wxEvtHandler {
 public:
  explicit CAutosave(wxDocManager* manager);
  ~CAutosave() override;

  // Minutes between autosaves; 0 stops them.
  void SetMinutes(int minutes);
  int Minutes() const { return minutes_; }

  // The timer's work: the recovery of every changed project. Returns how
  // many were written.
  int SaveChanged();

  // At start-up: offers each recovery that a run which is gone left behind.
  // A saved project is opened and offers its recovery; one never saved, or
  // whose file is gone, becomes a new project. A refused recovery is removed.
  void OfferOrphans();

 private:
  void OnTimer(wxTimerEvent& event);

  wxDocManager* manager_;
  wxTimer timer_;
  int minutes_ = 0;
};

// The program's autosave (nullptr outside the program, as in tests that
// build documents alone).
CAutosave* TheAutosave();

}  // namespace vistamet
