#include "measure/app/range_validator.h"

#include <wx/bookctrl.h>
#include <wx/textctrl.h>

#include "common/strformat.h"
#include "measure/shell/app_texts.h"
#include "measure/app/gui_prompt.h"

namespace vistamet {

namespace {

// Brings the page that holds `w` to the front when the field sits in a
// tabbed sheet, so that the message refers to a visible field.
void ShowPageOf(wxWindow* w) {
  for (wxWindow* child = w; child && !child->IsTopLevel(); child = child->GetParent()) {
    if (auto* book = dynamic_cast<wxBookCtrlBase*>(child->GetParent())) {
      const int page = book->FindPage(child);
      if (page != wxNOT_FOUND && page != book->GetSelection()) book->SetSelection(page);
      return;
    }
  }
}

}  // namespace

CRangeValidator::CRangeValidator(double* value) : real_(value) {}

CRangeValidator::CRangeValidator(double* value, double min, double max)
    : real_(value), range_{true, min, max} {}

CRangeValidator::CRangeValidator(int32_t* value, int32_t min, int32_t max)
    : integer_(value), range_{true, static_cast<double>(min), static_cast<double>(max)} {}

bool CRangeValidator::TransferToWindow() {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetWindow());
  if (!edit) return false;
  const std::string text =
      real_ ? FormatReal(*real_) : common::StrFormat("%d", static_cast<int>(*integer_));
  // ChangeValue: filling a field is not an edit by the user.
  edit->ChangeValue(wxString::FromUTF8(text));
  return true;
}

bool CRangeValidator::TransferFromWindow() {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetWindow());
  if (!edit) return false;
  const std::string text = edit->GetValue().ToStdString(wxConvUTF8);
  return real_ ? ParseReal(text, real_) : ParseInteger(text, integer_);
}

std::string CRangeValidator::Problem(const wxString& value) const {
  const std::string text = value.ToStdString(wxConvUTF8);
  return real_ ? RealFieldProblem(text, range_) : IntegerFieldProblem(text, range_);
}

bool CRangeValidator::Validate(wxWindow* parent) {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetWindow());
  if (!edit) return true;
  const std::string problem = Problem(edit->GetValue());
  if (problem.empty()) return true;
  ShowPageOf(edit);
  ShowMessage(parent, problem, Icon::kWarning);
  edit->SetFocus();
  edit->SelectAll();
  return false;
}

}  // namespace vistamet
