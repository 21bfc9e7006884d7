// The menus and the main toolbar of the measurement program.
#pragma once

#include <string>

class wxAcceleratorTable;
class wxFileHistory;
class wxMenu;
class wxMenuBar;
class wxToolBar;

namespace vistamet {

// The menu of the project windows, also shown by the main frame while no
// document is open. The recent files go into the "最近文件" submenu.
wxMenuBar* CreateProjectMenuBar(wxFileHistory* history);

// The menu of the text windows: File, Edit, View, Window, Help.
wxMenuBar* CreateTextMenuBar(wxFileHistory* history);

// The "最近文件" submenu of a menu bar made above (nullptr if none).
wxMenu* RecentFilesMenu(wxMenuBar* bar);

// The keys that no menu item shows, for the main frame: F6 and Shift+F6
// (next and previous pane), and the second keys of the edit commands:
// Ctrl+Insert (copy), Shift+Insert (paste), Shift+Delete (cut) and
// Alt+Backspace (undo).
wxAcceleratorTable CreateExtraKeys();

// Adds the main toolbar's buttons, separators and tool tips.
void PopulateToolBar(wxToolBar* toolbar);

// The status-bar prompt and the tool tip of a command ("" when it has none).
std::string CommandPrompt(int id);
std::string CommandTip(int id);

}  // namespace vistamet
