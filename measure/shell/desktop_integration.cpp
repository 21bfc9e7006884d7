#include "measure/shell/desktop_integration.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/atomic_file.h"

namespace vistamet {

namespace {

// One argument of the launcher's Exec key: quoted, with the characters that
// are special inside quotes escaped, then escaped once more as a string
// value (backslashes doubled) and with '%' doubled for the field codes.
std::string ExecArgument(const std::string& arg) {
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) {
    if (c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

// A string value of a desktop entry: no line breaks, backslashes doubled.
std::string EntryValue(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string DesktopEntryText(const std::string& exe_path) {
  std::string t;
  t += "[Desktop Entry]\n";
  t += "Type=Application\n";
  t += "Name=Vistamet\n";
  t += "Comment=" + EntryValue(exe_path) + "\n";
  t += "Exec=" + ExecArgument(exe_path) + " %f\n";
  t += "Terminal=false\n";
  t += "MimeType=application/x-vistamet-project;\n";
  t += "Categories=Graphics;Science;\n";
  return t;
}

bool WriteDesktopShortcut(const std::string& desktop_dir, const std::string& exe_path) {
  struct stat st;
  if (desktop_dir.empty() || ::stat(desktop_dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return false;
  std::string path = desktop_dir;
  if (path.back() != '/') path += '/';
  path += kDesktopShortcutName;
  if (!common::SaveFileAtomically(path, DesktopEntryText(exe_path))) return false;
  // Desktops start only launchers that are marked executable.
  return ::chmod(path.c_str(), 0755) == 0;
}

std::string DesktopFolder(const std::string& home, const std::string& config_home) {
  std::string text;
  if (common::ReadWholeFile(config_home + "/user-dirs.dirs", &text)) {
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      const std::string key = "XDG_DESKTOP_DIR=";
      const size_t start = line.find_first_not_of(" \t");
      if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
      std::string value = line.substr(start + key.size());
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
        value.pop_back();
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
      if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
      if (!value.empty() && value.front() == '/') return value;
    }
  }
  return home + "/Desktop";
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FindProgram(const std::vector<std::string>& names, std::string_view search_path) {
  for (const std::string& name : names) {
    if (name.empty()) continue;
    if (name.find('/') != std::string::npos) {
      if (IsExecutableFile(name)) return name;
      continue;
    }
    size_t start = 0;
    while (start <= search_path.size()) {
      size_t end = search_path.find(':', start);
      if (end == std::string_view::npos) end = search_path.size();
      std::string dir(search_path.substr(start, end - start));
      if (dir.empty()) dir = ".";  // an empty entry means the current folder
      const std::string candidate = dir + "/" + name;
      if (IsExecutableFile(candidate)) return candidate;
      start = end + 1;
    }
  }
  return {};
}

const std::vector<std::string>& CalculatorPrograms() {
  static const std::vector<std::string> k = {"gnome-calculator", "kcalc", "galculator",
                                             "mate-calc", "qalculate-gtk", "xcalc"};
  return k;
}

const std::vector<std::string>& PaintPrograms() {
  static const std::vector<std::string> k = {"pinta", "kolourpaint", "gimp", "mtpaint"};
  return k;
}

std::string ShippedDataFile(const std::string& exe_folder, const std::string& name) {
  for (const std::string& folder : {exe_folder, exe_folder + "../share/vistamet/"}) {
    struct stat st {};
    const std::string path = folder + name;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return "";
}

}  // namespace vistamet
