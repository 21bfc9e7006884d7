// Check boxes of the dialogs bound to the document's 0/1 flags.
#pragma once

#include <cstdint>

#include <wx/validate.h>

namespace vistamet {

// A check box bound to a 0/1 flag (any value but 0 shows checked).
class CFlagValidator : public wxValidator {
 public:
  explicit CFlagValidator(int32_t* flag) : flag_(flag) {}
  wxObject* Clone() const override { return new CFlagValidator(*this); }
  bool TransferToWindow() override;
  bool TransferFromWindow() override;
  bool Validate(wxWindow*) override { return true; }

 private:
  CFlagValidator(const CFlagValidator&) = default;
  int32_t* flag_;
};

}  // namespace vistamet
