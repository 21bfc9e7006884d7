#include "measure/views/tool_cursors.h"

namespace vistamet {

const wxCursor& CursorFor(ToolCursor kind) {
  static const wxCursor cross(wxCURSOR_CROSS);
  static const wxCursor hand(wxCURSOR_HAND);
  switch (kind) {
    case ToolCursor::kUnchanged: return wxNullCursor;
    case ToolCursor::kPlanePoint:
    case ToolCursor::kDelete: return hand;
    default: return cross;
  }
}

const wxCursor& StripHandCursor() { return CursorFor(ToolCursor::kPlanePoint); }

}  // namespace vistamet
