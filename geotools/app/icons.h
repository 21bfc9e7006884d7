// The program's own pictures, drawn in code so that they scale cleanly: the
// icons of the ten functions (16 and 32 pixels, one style: blue globe and
// axes, green second system, orange for what the function computes) and the
// program icon.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

#include "geotools/app/tool_function.h"

namespace georeckon {

// The icon of `function`, `size` pixels square, with transparency.
wxBitmap FunctionIcon(ToolFunction function, int size);

// The program icon: a globe with its graticule, in 16, 32 and 48 pixels.
wxBitmap ProgramBitmap(int size);
wxIconBundle ProgramIcons();

}  // namespace georeckon
