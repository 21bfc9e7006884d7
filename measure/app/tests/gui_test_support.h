// Helpers of the window tests: the running application, commands sent as
// from the menu, the menu's enabling state, scripted answers to modal
// dialogs, and small projects on disk.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include "measure/app/doc_manager.h"
#include "measure/app/main_frame.h"
#include "measure/app/project_document.h"
#include "measure/app/vistamet_app.h"

namespace vistamet::test {

CVistametApp& App();
CMainFrame& Frame();
CDocManager& Manager();

// Sends a menu command to the main frame, as a click on the menu item does.
void SendCommand(int id);

// What the menu and toolbar would show for a command now.
struct UiState {
  bool enabled = false;
  bool checked = false;
  wxString text;  // empty unless the handler set one
};
UiState QueryUi(int id);

// Lets pending events, deferred deletions and idle work run.
void Pump();

// Pumps events until `done` holds or `ms` milliseconds have passed; real
// input from the X server may take a while on a loaded machine.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);

// Moves the real pointer (through the X server) to the screen point that
// `spot` gives, waiting until it has arrived and the spot has stopped moving
// (bars shown late move windows), so that neither swallows a click that
// follows. Returns the point it aimed at last.
wxPoint MovePointerTo(const std::function<wxPoint()>& spot);

// Pumps events until the document's work on the worker (extraction or
// adjustment) has ended and its result is in; false on time-out.
bool WaitForWork(const CProjectDocument* doc, int ms = 60000);

// Closes every document without asking and waits until their windows are
// gone.
void CloseAllDocuments();

// Answers modal dialogs from a script while it lives. Each answer takes the
// dialog and returns its result (wxID_OK, wxID_CANCEL, ...). Message boxes
// are recorded; a dialog without an answer left is cancelled and recorded
// as unexpected.
class ScriptedDialogs : public wxModalDialogHook {
 public:
  using Answer = std::function<int(wxDialog*)>;

  ScriptedDialogs() { Register(); }
  ~ScriptedDialogs() override { Unregister(); }

  ScriptedDialogs& Then(Answer answer) {
    answers_.push_back(std::move(answer));
    return *this;
  }
  // A message box answered with `id` (wxID_OK, wxID_YES, wxID_NO, ...).
  ScriptedDialogs& ThenMessage(int id = wxID_OK);

  const std::vector<std::string>& Messages() const { return messages_; }
  int Unexpected() const { return unexpected_; }
  size_t Pending() const { return answers_.size(); }

 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog*) override {}

 private:
  std::deque<Answer> answers_;
  std::vector<std::string> messages_;
  int unexpected_ = 0;
};

// A temporary folder, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes a 24-bit photo of width x height with a recognisable pattern.
std::string WritePhoto(const std::string& path, int width = 96, int height = 64);

// A project with `photos` photos in `dir`, targets marked as extracted (so
// that opening it starts no extraction), a few image points and space
// points; saved as `name`. Returns the project file's path.
struct ProjectLayout {
  int photos = 2;
  int adjusted = 0;
  int planeSet = 0;
  int listWindowOn = 0;
  int targetsExtracted = 1;
};
std::string WriteProject(const TempDir& dir, const std::string& name, const ProjectLayout& layout = {});

// Opens a project as the desktop does; nullptr when refused.
CProjectDocument* Open(const std::string& path);

std::string ReadFile(const std::string& path);

}  // namespace vistamet::test
