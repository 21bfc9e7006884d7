// The mouse cursors of the image view's modes.
#pragma once

#include <wx/cursor.h>

#include "measure/shell/measure_clicks.h"

namespace vistamet {

const wxCursor& CursorFor(ToolCursor kind);
const wxCursor& StripHandCursor();

}  // namespace vistamet
