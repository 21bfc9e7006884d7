// CAboutDlg, "关于 GeoReckon": the program icon, its version and what it is.
#pragma once

#include <wx/dialog.h>

namespace georeckon {

class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent);
};

}  // namespace georeckon
