// wx's own texts (stock buttons and menu items, the standard dialogs, print
// preview) in simplified Chinese, as the programs' own texts are, whatever
// language the desktop runs in.
#pragma once

#include <wx/string.h>

namespace common {

// Installs a translation of wx's catalogue for zh_CN as the application's
// translations, and the C library's messages category to zh_CN where that
// locale is installed (the toolkit's own texts follow it). Only the messages
// change: how numbers are read and written stays as it is. `exe_path` is the
// program's own path; a catalogue shipped in its prefix's share/locale is
// found as well as the system's. False when no catalogue was found (the
// texts then stay English).
bool UseChineseStockTexts(const wxString& exe_path);

}  // namespace common
