#include "measure/app/flag_validator.h"

#include <wx/checkbox.h>

namespace vistamet {

bool CFlagValidator::TransferToWindow() {
  auto* box = dynamic_cast<wxCheckBox*>(GetWindow());
  if (!box) return false;
  box->SetValue(*flag_ != 0);
  return true;
}

bool CFlagValidator::TransferFromWindow() {
  auto* box = dynamic_cast<wxCheckBox*>(GetWindow());
  if (!box) return false;
  *flag_ = box->GetValue() ? 1 : 0;
  return true;
}

}  // namespace vistamet
