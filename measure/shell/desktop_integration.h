// The program's place on the desktop: the launcher written at exit and the
// other programs that the Tools menu starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistamet {

// The launcher's file name in the desktop folder.
inline constexpr char kDesktopShortcutName[] = "Vistamet.desktop";

// The text of a desktop launcher that starts `exe_path` (with an optional
// file to open); its comment is the executable's full path.
std::string DesktopEntryText(const std::string& exe_path);

// Writes (or overwrites) the launcher in `desktop_dir` and makes it
// executable. False, writing nothing, when the folder does not exist or the
// file cannot be written.
bool WriteDesktopShortcut(const std::string& desktop_dir, const std::string& exe_path);

// The user's desktop folder: XDG_DESKTOP_DIR of `config_home`/user-dirs.dirs
// ("$HOME" expanded) when set there, else `home`/Desktop. Whether it exists
// is for the caller to see.
std::string DesktopFolder(const std::string& home, const std::string& config_home);

// The folder of a path, with its trailing '/' ("" for a bare name).
std::string FolderOf(const std::string& path);

// The first of `names` that is an executable file: a name with a '/' is
// taken as it is, any other is looked up in the folders of `search_path`
// (':'-separated, as $PATH). "" when none is found.
std::string FindProgram(const std::vector<std::string>& names, std::string_view search_path);

// A file shipped with the programs: beside the executable in the build tree,
// or in share/vistamet of the prefix the programs are installed in
// (`exe_folder`/../share/vistamet). `exe_folder` ends with '/'. The first
// that exists; "" when neither does.
std::string ShippedDataFile(const std::string& exe_folder, const std::string& name);

// The calculators and paint programs tried, in order.
const std::vector<std::string>& CalculatorPrograms();
const std::vector<std::string>& PaintPrograms();

}  // namespace vistamet
