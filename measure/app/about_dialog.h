// The about box: program icon, version, the program's description as a link
// to its user's guide, and the credit line.
#pragma once

#include <wx/dialog.h>

namespace vistamet {

class CHyperLink;

class CAboutDialog : public wxDialog {
 public:
  explicit CAboutDialog(wxWindow* parent);
  CHyperLink* ProgramLink() const { return link_; }

 private:
  CHyperLink* link_ = nullptr;
};

}  // namespace vistamet
