// The mouse cursors of the image view, one for each cursor kind the click
// rules ask for, drawn in code at 32 x 32 pixels.
//
// Parts that show on any photo are drawn in a colour with a 1-pixel ring of
// a contrasting colour (yellow and white parts ringed black, black and red
// parts ringed white); the window system cannot invert the screen under a
// cursor.
#pragma once

#include <wx/cursor.h>
#include <wx/gdicmn.h>
#include <wx/image.h>

#include "measure/shell/measure_clicks.h"

namespace vistamet {

// The cursor for `kind`: wxNullCursor for kUnchanged (the window's own),
// the standard cross for kCross, else a cursor made at the first call and
// kept until the program ends. Call from the GUI thread only.
const wxCursor& CursorFor(ToolCursor kind);

// The thumbnail strip's cursor over its frame: the plane-point hand.
const wxCursor& StripHandCursor();

// The 32 x 32 picture of a drawn cursor, with its alpha channel and the hot
// spot in the wxIMAGE_OPTION_CUR_HOTSPOT_X/Y options; an invalid image for
// kUnchanged and kCross, which are not drawn.
wxImage CursorImage(ToolCursor kind);

// The pixel of the picture that is the click position, from its top-left
// corner; (0, 0) for the kinds that are not drawn.
wxPoint CursorHotSpot(ToolCursor kind);

}  // namespace vistamet
