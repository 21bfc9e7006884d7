#include "measure/app/range_validator.h"

#include <charconv>
#include <cmath>

#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "common/strformat.h"
#include "measure/app/app_texts.h"
#include "measure/app/gui_prompt.h"

namespace vistamet {

namespace {

std::string Trimmed(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string t = text.substr(b, e - b);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  return t;
}

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

std::string FormatReal(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}

bool ParseReal(const std::string& text, double* value) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ParseInteger(const std::string& text, int32_t* value) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  int32_t v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  *value = v;
  return true;
}

CRangeValidator::CRangeValidator(double* value) : real_(value) {}

CRangeValidator::CRangeValidator(double* value, double min, double max)
    : real_(value), ranged_(true), min_(min), max_(max) {}

CRangeValidator::CRangeValidator(int32_t* value, int32_t min, int32_t max)
    : integer_(value), ranged_(true), min_(min), max_(max) {}

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
  if (real_) {
    double v = 0;
    if (!ParseReal(text, &v)) return ui::kEnterNumber;
    if (ranged_ && (v < min_ || v > max_))
      return common::StrFormat(ui::kNumberRange, FormatReal(min_).c_str(),
                               FormatReal(max_).c_str());
    return {};
  }
  int32_t v = 0;
  if (!ParseInteger(text, &v)) return ui::kEnterInteger;
  if (ranged_ && (v < min_ || v > max_))
    return common::StrFormat(ui::kIntegerRange, common::StrFormat("%.0f", min_).c_str(),
                             common::StrFormat("%.0f", max_).c_str());
  return {};
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
