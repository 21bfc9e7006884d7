#include "measure/app/project_history.h"

#include <string>
#include <utility>

#include <wx/app.h>
#include <wx/evtloop.h>

#include "common/strformat.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/project_document.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

// Steps kept; the oldest go first.
constexpr int kMaxSteps = 100;

// One step: the states before and after a command. Submitting it records
// the command that has already run.
class CSnapshotStep : public wxCommand {
 public:
  CSnapshotStep(CProjectHistory& history, ProjectSnapshot before, ProjectSnapshot after,
                const char* name)
      : wxCommand(true, wxString::FromUTF8(name)),
        history_(history),
        before_(std::move(before)),
        after_(std::move(after)) {}

  bool Do() override {
    if (!done_once_) {
      done_once_ = true;
      return true;
    }
    return history_.Restore(after_);
  }
  bool Undo() override { return history_.Restore(before_); }

 private:
  CProjectHistory& history_;
  ProjectSnapshot before_, after_;
  bool done_once_ = false;
};

wxString ItemLabel(const wxCommand* step, const char* plain, const char* named) {
  if (!step) return wxString::FromUTF8(plain);
  const std::string name = step->GetName().ToStdString(wxConvUTF8);
  return wxString::FromUTF8(common::StrFormat(named, name.c_str()));
}

}  // namespace

CProjectHistory::CProjectHistory(CProjectDocument& doc) : wxCommandProcessor(kMaxSteps), doc_(doc) {
  Reset();
  if (wxTheApp) wxTheApp->Bind(wxEVT_IDLE, &CProjectHistory::OnIdle, this);
}

CProjectHistory::~CProjectHistory() {
  if (wxTheApp) wxTheApp->Unbind(wxEVT_IDLE, &CProjectHistory::OnIdle, this);
}

void CProjectHistory::Reset() {
  ClearCommands();
  MarkAsSaved();
  shelf_.clear();
  pending_ = false;
  baseline_ = ProjectSnapshot(doc_.Core());
  saved_ = baseline_.Bytes();
}

void CProjectHistory::Changed() { pending_ = true; }

void CProjectHistory::OnIdle(wxIdleEvent& event) {
  event.Skip();
  // A command still runs while a dialog it opened has its own loop.
  const wxEventLoopBase* active = wxEventLoopBase::GetActive();
  if (pending_ && (!active || active->IsMain())) Settle();
}

bool CProjectHistory::Settle() {
  if (!pending_) return false;
  pending_ = false;
  ProjectSnapshot now(doc_.Core());
  if (now == baseline_) return false;
  const char* name = StepName(baseline_, now);
  ProjectSnapshot before = std::move(baseline_);
  baseline_ = now;
  Submit(new CSnapshotStep(*this, std::move(before), std::move(now), name));
  return true;
}

void CProjectHistory::Saved() {
  Settle();
  MarkAsSaved();
  saved_ = ProjectSnapshot(doc_.Core()).Bytes();
}

bool CProjectHistory::Undo() {
  Settle();
  if (!CanUndo() || !wxCommandProcessor::Undo()) return false;
  FollowSavedState();
  return true;
}

bool CProjectHistory::Redo() {
  Settle();
  if (!CanRedo() || !wxCommandProcessor::Redo()) return false;
  FollowSavedState();
  return true;
}

bool CProjectHistory::CanUndo() const {
  return !doc_.WorkRunning() && (pending_ || wxCommandProcessor::CanUndo());
}

bool CProjectHistory::CanRedo() const {
  return !doc_.WorkRunning() && !pending_ && wxCommandProcessor::CanRedo();
}

wxString CProjectHistory::UndoLabel() const {
  const wxCommand* step = wxCommandProcessor::CanUndo() ? GetCurrentCommand() : nullptr;
  return ItemLabel(step, ui::kItemUndo, ui::kItemUndoNamed);
}

wxString CProjectHistory::RedoLabel() const {
  const wxCommand* step = nullptr;
  if (wxCommandProcessor::CanRedo()) {
    const wxList::compatibility_iterator current = GetCurrentCommand()
                                                       ? m_currentCommand->GetNext()
                                                       : m_commands.GetFirst();
    if (current) step = static_cast<const wxCommand*>(current->GetData());
  }
  return ItemLabel(step, ui::kItemRedo, ui::kItemRedoNamed);
}

bool CProjectHistory::Restore(const ProjectSnapshot& state) {
  std::string error;
  if (!state.RestoreInto(doc_.Core(), shelf_, &error)) {
    ShowMessage(doc_.GetDocumentWindow(), common::StrFormat(ui::kUndoPhotoMissing, error.c_str()),
                Icon::kWarning);
    return false;
  }
  baseline_ = state;
  doc_.UpdateViews(ViewUpdate::kAll);
  return true;
}

void CProjectHistory::FollowSavedState() { doc_.Modify(baseline_.Bytes() != saved_); }

}  // namespace vistamet
