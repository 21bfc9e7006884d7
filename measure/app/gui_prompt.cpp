#include "measure/app/gui_prompt.h"

#include <string>

#include <wx/msgdlg.h>

#include "measure/shell/app_texts.h"
#include "measure/app/offset_dialog.h"
#include "measure/app/space_point_dialog.h"

namespace vistamet {

namespace {

long IconStyle(Icon icon) {
  switch (icon) {
    case Icon::kInformation: return wxICON_INFORMATION;
    case Icon::kWarning: return wxICON_EXCLAMATION;
    case Icon::kError: return wxICON_ERROR;
    case Icon::kQuestion: return wxICON_QUESTION;
    case Icon::kNone: break;
  }
  return wxICON_NONE;
}

wxString Text(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

}  // namespace

void ShowMessage(wxWindow* parent, std::string_view text, Icon icon) {
  wxMessageDialog box(parent, Text(text), Text(ui::kAppName), wxOK | IconStyle(icon));
  box.SetOKLabel(Text(ui::kOk));
  box.ShowModal();
}

bool AskYesNo(wxWindow* parent, std::string_view text, std::string_view caption, Icon icon) {
  wxMessageDialog box(parent, Text(text), Text(caption.empty() ? ui::kAppName : caption),
                      wxYES_NO | IconStyle(icon));
  box.SetYesNoLabels(Text(ui::kYes), Text(ui::kNo));
  return box.ShowModal() == wxID_YES;
}

int AskYesNoCancel(wxWindow* parent, const wxString& text) {
  wxMessageDialog box(parent, text, Text(ui::kAppName), wxYES_NO | wxCANCEL | wxICON_EXCLAMATION);
  box.SetYesNoCancelLabels(Text(ui::kYes), Text(ui::kNo), Text(ui::kCancel));
  switch (box.ShowModal()) {
    case wxID_YES: return wxYES;
    case wxID_NO: return wxNO;
    default: return wxCANCEL;
  }
}

void CGuiPrompt::Message(std::string_view text, Icon icon) { ShowMessage(Parent(), text, icon); }

bool CGuiPrompt::AskYesNo(std::string_view text, std::string_view caption, Icon icon) {
  return vistamet::AskYesNo(Parent(), text, caption, icon);
}

bool CGuiPrompt::EditSpacePoint(SpacePoint& record) {
  CSpacePointDialog dialog(Parent(), record);
  if (dialog.ShowModal() != wxID_OK) return false;
  record = dialog.Record();
  return true;
}

bool CGuiPrompt::AskOffset(double& x, double& y, double& z) {
  COffsetDialog dialog(Parent());
  if (dialog.ShowModal() != wxID_OK) return false;
  x = dialog.X();
  y = dialog.Y();
  z = dialog.Z();
  return true;
}

}  // namespace vistamet
