// Helpers of the window tests: a script that answers message boxes, file
// choosers and modal dialogs and records the files handed to the desktop,
// and small drivers for the controls of a dialog found by window name.
#pragma once

#include <wx/modalhook.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "geotools/app/ui_services.h"

class wxDialog;
class wxWindow;

namespace georeckon::test {

struct Message {
  std::string text;
  long style = 0;
};

// Installed for the lifetime of the object. Every message box is recorded
// and answered with `answer` (for yes/no questions) or OK; every file
// chooser takes the next entry of `files` (none left: cancelled); every
// modal dialog runs the next entry of `dialogs`, whose return value is what
// ShowModal returns. A dialog that nobody expected fails the test.
class UiScript : public wxModalDialogHook {
 public:
  UiScript();
  ~UiScript() override;

  std::vector<Message> messages;
  std::vector<std::string> launched;
  std::deque<std::string> files;
  std::vector<FileRequest> file_requests;
  std::deque<std::function<int(wxDialog*)>> dialogs;
  std::vector<std::string> dialog_titles;
  int answer = wxYES;

  // The texts of the recorded messages.
  std::vector<std::string> MessageTexts() const;

 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog*) override {}
};

// A folder of its own under /tmp, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Controls of a dialog by window name. Pressing checks that the button is
// enabled, as a user could only press an enabled one.
void Press(wxWindow* dialog, const char* name);
void PressId(wxWindow* dialog, int id);
void Type(wxWindow* dialog, const char* name, const std::string& text);
std::string Text(wxWindow* dialog, const char* name);
void Choose(wxWindow* dialog, const char* radio_name);
bool Enabled(wxWindow* dialog, const char* name);
bool Editable(wxWindow* dialog, const char* name);

// Handles the events queued so far.
void Pump();

}  // namespace georeckon::test
