// The project's undo history (编辑 > 撤消 and 重做). One mechanism serves
// every command: the core reports each change, and once the command that
// made it is over, the state before and after it become one step. A step
// holds two snapshots of the records, never the photos' pixels.
#pragma once

#include <string>

#include <wx/cmdproc.h>
#include <wx/event.h>

#include "measure/shell/project_snapshot.h"

namespace vistamet {

class CProjectDocument;

class CProjectHistory : public wxCommandProcessor {
 public:
  explicit CProjectHistory(CProjectDocument& doc);
  ~CProjectHistory() override;

  // A new or opened project: no steps, the present state as the saved one.
  void Reset();
  // The core changed the project; the step is taken once the running
  // command is over, when the program is idle outside any dialog (several
  // changes of one command are one step).
  void Changed();
  // Takes the step now when a change is pending. False when nothing
  // changed since the last step.
  bool Settle();
  // After a save: the present state is the saved one (the steps stay).
  void Saved();

  bool Undo() override;
  bool Redo() override;
  bool CanUndo() const override;
  bool CanRedo() const override;

  // The 编辑 menu's items: "撤消<step>" / "重做<step>" with their keys.
  wxString UndoLabel() const;
  wxString RedoLabel() const;

  // Puts a state back into the document (a step's undo or redo).
  bool Restore(const ProjectSnapshot& state);

 private:
  void OnIdle(wxIdleEvent& event);
  // The document's modified flag: set unless the present state is the
  // saved one (a new step after undoing past a save leaves no way back to
  // the saved state but through the same records).
  void FollowSavedState();

  CProjectDocument& doc_;
  ProjectSnapshot baseline_;  // the state after the last step
  std::string saved_;         // the saved state's bytes
  PhotoShelf shelf_;
  bool pending_ = false;
};

}  // namespace vistamet
