// The command ids and menu bars of GeoReckon: the short menu bar of the
// main window without a document and the full one of a document window.
#pragma once

#include <wx/defs.h>

#include "geotools/app/tool_function.h"

class wxMenu;
class wxMenuBar;

namespace georeckon {

enum CommandId : int {
  // "&0 参数设置" … "&9 平面直角坐标转换", in menu order.
  ID_FUNCTION_FIRST = wxID_HIGHEST + 100,
  ID_FUNCTION_LAST = ID_FUNCTION_FIRST + 9,
  // The edit commands have no function here and stay disabled.
  ID_EDIT_UNDO,
  ID_EDIT_CUT,
  ID_EDIT_COPY,
  ID_EDIT_PASTE,
  ID_VIEW_TOOLBAR,
  ID_VIEW_STATUS_BAR,
  ID_WINDOW_NEW,
  ID_WINDOW_CASCADE,
  ID_WINDOW_TILE,
  ID_WINDOW_ARRANGE,
  ID_WINDOW_SPLIT,
  // 关闭 and 退出 have ids of their own: the toolkit would add accelerators
  // to the stock ones that the menu does not have.
  ID_FILE_CLOSE,
  ID_APP_EXIT,
};

// The command of a function's menu item.
constexpr int FunctionCommand(ToolFunction function) {
  return ID_FUNCTION_FIRST + MenuIndex(function);
}

inline bool IsEditCommand(int id) { return id >= ID_EDIT_UNDO && id <= ID_EDIT_PASTE; }

// 文件 (新建, 打开, 打印设置, recent files, 退出), 查看, 帮助.
wxMenuBar* CreateStartMenuBar();
// 文件, 编辑, 坐标系统, 查看, 窗口, 帮助.
wxMenuBar* CreateDocumentMenuBar();

// The "文件(&F)" menu of a menu bar made above.
wxMenu* FileMenuOf(wxMenuBar* bar);

}  // namespace georeckon
