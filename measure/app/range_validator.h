// Number fields of the dialogs: the value is shown when the dialog opens,
// read back on OK, and a text that is not a number, or a number outside the
// field's range, keeps the dialog open with the standard message for that
// field.
#pragma once

#include <cstdint>
#include <string>

#include <wx/validate.h>

#include "measure/shell/number_field.h"

namespace vistamet {

class CRangeValidator : public wxValidator {
 public:
  // A real field; without a range any number is accepted.
  explicit CRangeValidator(double* value);
  CRangeValidator(double* value, double min, double max);
  // An integer field with its range.
  CRangeValidator(int32_t* value, int32_t min, int32_t max);

  wxObject* Clone() const override { return new CRangeValidator(*this); }
  bool TransferToWindow() override;
  bool TransferFromWindow() override;
  bool Validate(wxWindow* parent) override;

  // The message that Validate shows for `text`, "" when the text is valid.
  std::string Problem(const wxString& text) const;

 private:
  CRangeValidator(const CRangeValidator&) = default;

  double* real_ = nullptr;
  int32_t* integer_ = nullptr;
  NumberRange range_;
};

}  // namespace vistamet
