#include "tests/gui_test_support.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace georeckon::test {

UiScript::UiScript() {
  SetMessageHook([this](const std::string& text, long style) {
    messages.push_back({text, style});
    if (style & wxYES_NO) return answer;
    return static_cast<int>(wxOK);
  });
  SetFileHook([this](const FileRequest& request, std::string* path) {
    file_requests.push_back(request);
    if (files.empty()) return false;
    *path = files.front();
    files.pop_front();
    return true;
  });
  SetLaunchHook([this](const std::string& path) {
    launched.push_back(path);
    return true;
  });
  Register();
}

UiScript::~UiScript() {
  Unregister();
  SetMessageHook(nullptr);
  SetFileHook(nullptr);
  // Nothing may be launched by the tests, even after a script ends.
  SetLaunchHook([](const std::string&) { return true; });
}

std::vector<std::string> UiScript::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& m : messages) texts.push_back(m.text);
  return texts;
}

int UiScript::Enter(wxDialog* dialog) {
  dialog_titles.push_back(Utf8(dialog->GetTitle()));
  if (dialogs.empty()) {
    ADD_FAILURE() << "unexpected dialog \"" << dialog_titles.back() << "\"";
    return wxID_CANCEL;
  }
  auto script = std::move(dialogs.front());
  dialogs.pop_front();
  return script(dialog);
}

TempDir::TempDir() {
  char pattern[] = "/tmp/georeckon-gui-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  dir_ = made ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ec;
  if (dir_ != "/tmp") std::filesystem::remove_all(dir_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

namespace {

template <typename T>
T* Find(wxWindow* dialog, const char* name) {
  T* control = dynamic_cast<T*>(wxWindow::FindWindowByName(name, dialog));
  EXPECT_NE(control, nullptr) << "no control named " << name;
  return control;
}

}  // namespace

void Press(wxWindow* dialog, const char* name) {
  wxButton* button = Find<wxButton>(dialog, name);
  if (!button) return;
  ASSERT_TRUE(button->IsEnabled()) << name << " is disabled";
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

void PressId(wxWindow* dialog, int id) {
  auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(id));
  ASSERT_NE(button, nullptr) << "no button " << id;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

void Type(wxWindow* dialog, const char* name, const std::string& text) {
  if (auto* edit = Find<wxTextCtrl>(dialog, name)) edit->ChangeValue(Wx(text));
}

std::string Text(wxWindow* dialog, const char* name) {
  auto* edit = Find<wxTextCtrl>(dialog, name);
  return edit ? Utf8(edit->GetValue()) : std::string();
}

void Choose(wxWindow* dialog, const char* radio_name) {
  wxRadioButton* radio = Find<wxRadioButton>(dialog, radio_name);
  if (!radio) return;
  radio->SetValue(true);
  wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
  event.SetEventObject(radio);
  event.SetInt(1);
  radio->ProcessWindowEvent(event);
}

bool Enabled(wxWindow* dialog, const char* name) {
  wxWindow* w = wxWindow::FindWindowByName(name, dialog);
  return w && w->IsEnabled();
}

bool Editable(wxWindow* dialog, const char* name) {
  auto* edit = Find<wxTextCtrl>(dialog, name);
  return edit && edit->IsEditable() && edit->IsEnabled();
}

void Pump() {
  for (int i = 0; i < 3; ++i) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
  }
}

}  // namespace georeckon::test
