// The common frame of the program's modal dialogs: Chinese OK and Cancel
// buttons, fields filled when the dialog opens, and OK accepted only when
// every field (at any depth of the layout, shown or not) is valid.
#pragma once

#include <string>

#include <wx/dialog.h>

class wxSizer;
class wxButton;

namespace vistamet {

class CDialogBase : public wxDialog {
 public:
  CDialogBase(wxWindow* parent, const std::string& title);

  // What the OK button does before the dialog closes: checks every field,
  // showing the message of the first that fails, then takes the values.
  // Tests call it to press OK.
  virtual bool Accept();

  bool Validate() override;
  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  wxButton* OkButton() const { return ok_; }

 protected:
  // Appends the OK/Cancel row to `top`, sets it as the dialog's sizer and
  // fits the dialog to it.
  void FinishLayout(wxSizer* top);

 private:
  void OnOk(wxCommandEvent& event);

  wxButton* ok_ = nullptr;
};

// The validators of every window below `w`, depth first in creation order.
bool ValidateTree(wxWindow* w);
bool TransferTreeToWindow(wxWindow* w);
bool TransferTreeFromWindow(wxWindow* w);

}  // namespace vistamet
