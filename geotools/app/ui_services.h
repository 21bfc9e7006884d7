// What the GeoReckon windows ask of the desktop: message boxes, file
// choosers and opening a written file with its default program. Each goes
// through a replaceable hook, so that the window tests answer them without a
// person and nothing is launched while they run.
#pragma once

#include <wx/defs.h>
#include <wx/string.h>

#include <functional>
#include <string>
#include <string_view>

class wxWindow;

namespace georeckon {

// UTF-8 to wx and back (file names included).
inline wxString Wx(std::string_view utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }
inline std::string Utf8(const wxString& s) { return s.utf8_string(); }

// A modal message box captioned with the program's name. `style` takes the
// wxMessageBox flags (wxOK, wxYES_NO, wxCANCEL, wxICON_…); the answer is
// wxOK, wxYES, wxNO or wxCANCEL.
int ShowMessage(std::string_view text, long style, wxWindow* parent = nullptr);

// The message of a failed action: error icon, OK only.
inline void ShowError(std::string_view text, wxWindow* parent = nullptr) {
  ShowMessage(text, wxICON_ERROR | wxOK, parent);
}

// The message of a failed action with the reason the core gave (system
// error, path, line number) below the catalogue text.
inline void ShowFailure(std::string_view text, std::string_view detail,
                        wxWindow* parent = nullptr) {
  if (detail.empty()) return ShowError(text, parent);
  ShowError(std::string(text) + "\n" + std::string(detail), parent);
}

// A file chooser. `filter` is "text|pattern|…||"; `default_extension` (save
// only) is added to a chosen name that has none. Returns false when the
// user cancels.
struct FileRequest {
  bool save = false;
  std::string title;
  std::string filter;
  std::string default_extension;
  std::string initial_path;  // the name in the edit the chooser belongs to
};
bool ChooseFile(wxWindow* parent, const FileRequest& request, std::string* path);

// Opens `path` with the desktop's default program for it. False when that
// could not be started.
bool OpenWithDefaultProgram(const std::string& path);

// "a|b|c||" -> "a|b|c": the filter without the terminating bars.
std::string WxFilter(std::string_view filter);

// `path` with ".<ext>" appended when its file name has no extension.
std::string WithDefaultExtension(const std::string& path, std::string_view ext);

// Hooks for the tests. Passing an empty function restores the real one.
using MessageHook = std::function<int(const std::string& text, long style)>;
using FileHook = std::function<bool(const FileRequest& request, std::string* path)>;
using LaunchHook = std::function<bool(const std::string& path)>;
void SetMessageHook(MessageHook hook);
void SetFileHook(FileHook hook);
void SetLaunchHook(LaunchHook hook);

}  // namespace georeckon
