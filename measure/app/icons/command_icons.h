// The images of the program's commands (toolbar buttons and the matching
// menu items) and the program's icon. The program's own images are drawn by
// code in one style; the standard commands use the desktop's images.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace vistamet {

// The image of a toolbar command at `size` pixels square; an invalid bitmap
// for a command without an image.
wxBitmap CommandBitmap(int command_id, int size = 16);

// The program's icon in the usual sizes.
wxIconBundle AppIcons();
wxBitmap AppBitmap(int size);

}  // namespace vistamet
