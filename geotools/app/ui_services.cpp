#include "geotools/app/ui_services.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <utility>

#include "geotools/app/app_texts.h"

namespace georeckon {

namespace {

MessageHook& TheMessageHook() {
  static MessageHook hook;
  return hook;
}
FileHook& TheFileHook() {
  static FileHook hook;
  return hook;
}
LaunchHook& TheLaunchHook() {
  static LaunchHook hook;
  return hook;
}

}  // namespace

void SetMessageHook(MessageHook hook) { TheMessageHook() = std::move(hook); }
void SetFileHook(FileHook hook) { TheFileHook() = std::move(hook); }
void SetLaunchHook(LaunchHook hook) { TheLaunchHook() = std::move(hook); }

int ShowMessage(std::string_view text, long style, wxWindow* parent) {
  if (TheMessageHook()) return TheMessageHook()(std::string(text), style);
  return wxMessageBox(Wx(text), Wx(app_texts::kProgramName), style, parent);
}

std::string WxFilter(std::string_view filter) {
  while (!filter.empty() && filter.back() == '|') filter.remove_suffix(1);
  return std::string(filter);
}

std::string WithDefaultExtension(const std::string& path, std::string_view ext) {
  if (path.empty() || ext.empty()) return path;
  const wxFileName name(Wx(path));
  if (name.GetFullName().empty() || name.HasExt()) return path;
  return path + "." + std::string(ext);
}

bool ChooseFile(wxWindow* parent, const FileRequest& request, std::string* path) {
  if (TheFileHook()) return TheFileHook()(request, path);
  long style =
      request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  const wxFileName initial(Wx(request.initial_path));
  wxFileDialog dialog(parent, Wx(request.title), initial.GetPath(), initial.GetFullName(),
                      Wx(WxFilter(request.filter)), style);
  if (dialog.ShowModal() != wxID_OK) return false;
  std::string chosen = Utf8(dialog.GetPath());
  if (request.save) {
    const std::string extended = WithDefaultExtension(chosen, request.default_extension);
    if (extended != chosen && wxFileName::FileExists(Wx(extended))) {
      // The chooser asked about the name as typed, not about the one with the
      // extension added.
      const wxString question =
          wxString::Format("%s\n%s", Wx(extended), Wx(app_texts::kReplaceExisting));
      if (wxMessageBox(question, Wx(request.title), wxYES_NO | wxICON_WARNING, parent) != wxYES) {
        return false;
      }
    }
    chosen = extended;
  }
  *path = chosen;
  return true;
}

bool OpenWithDefaultProgram(const std::string& path) {
  if (TheLaunchHook()) return TheLaunchHook()(path);
  return wxLaunchDefaultApplication(Wx(path));
}

}  // namespace georeckon
