// The program's own pictures, drawn in code so that they scale cleanly: the
// icons of the ten functions (16 and 32 pixels, one style: blue globe and
// axes, green second system, orange for what the function computes) and the
// program icon.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace georeckon {

// The icon of function `function` (0 … 9, in the order of the
// "坐标系统(&C)" menu), `size` pixels square, with transparency.
wxBitmap FunctionIcon(int function, int size);

// The program icon: a globe with its graticule, in 16, 32 and 48 pixels.
wxBitmap ProgramBitmap(int size);
wxIconBundle ProgramIcons();

}  // namespace georeckon
