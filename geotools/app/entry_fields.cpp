#include "geotools/app/entry_fields.h"

#include <algorithm>

#include <wx/textctrl.h>

#include <cmath>

#include "common/scan_line.h"
#include "common/strformat.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/texts.h"

namespace georeckon {

bool ParseEntryNumber(std::string_view text, double* value) {
  size_t pos = 0;
  double v = 0;
  if (!common::ScanDouble(text, &pos, &v)) return false;
  if (!common::TrimSpace(text.substr(pos)).empty()) return false;
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

std::string FormatEntryNumber(double value) { return common::StrFormat("%.15g", value); }

std::string RangeMessage(double min, double max) {
  std::string text = texts::kEnterNumberBetween;
  const size_t p1 = text.find("%1");
  if (p1 != std::string::npos) text.replace(p1, 2, FormatEntryNumber(min));
  const size_t p2 = text.find("%2");
  if (p2 != std::string::npos) text.replace(p2, 2, FormatEntryNumber(max));
  return text;
}

void CEntryFields::AddNumber(wxTextCtrl* edit, double* value) {
  fields_.push_back(Field{edit, value, nullptr, false, 0, 0});
}

void CEntryFields::AddNumber(wxTextCtrl* edit, double* value, double min, double max) {
  fields_.push_back(Field{edit, value, nullptr, true, min, max});
}

void CEntryFields::AddText(wxTextCtrl* edit, std::string* value) {
  fields_.push_back(Field{edit, nullptr, value, false, 0, 0});
}

bool CEntryFields::ReadOnly(wxWindow* parent, const std::vector<const void*>& values) {
  auto wanted = [&values](const Field& f) {
    if (values.empty()) return true;
    const void* bound = f.number ? static_cast<const void*>(f.number) : f.text;
    return std::find(values.begin(), values.end(), bound) != values.end();
  };
  std::vector<double> numbers(fields_.size());
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    if (!f.number || !wanted(f)) continue;
    const std::string typed = Utf8(f.edit->GetValue());
    std::string message;
    if (!ParseEntryNumber(typed, &numbers[i])) {
      message = texts::kEnterNumber;
    } else if (f.ranged && (numbers[i] < f.min || numbers[i] > f.max)) {
      message = RangeMessage(f.min, f.max);
    }
    if (!message.empty()) {
      ShowMessage(message, wxOK | wxICON_EXCLAMATION, parent);
      f.edit->SetFocus();
      f.edit->SelectAll();
      return false;
    }
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    if (!wanted(f)) continue;
    if (f.number) {
      *f.number = numbers[i];
    } else if (f.text) {
      *f.text = Utf8(f.edit->GetValue());
    }
  }
  return true;
}

void CEntryFields::Show() { ShowOnly({}); }

void CEntryFields::ShowOnly(const std::vector<const void*>& values) {
  for (const Field& f : fields_) {
    if (!values.empty()) {
      const void* bound = f.number ? static_cast<const void*>(f.number) : f.text;
      bool wanted = false;
      for (const void* v : values) wanted = wanted || v == bound;
      if (!wanted) continue;
    }
    if (f.number) {
      f.edit->ChangeValue(Wx(FormatEntryNumber(*f.number)));
    } else if (f.text) {
      f.edit->ChangeValue(Wx(*f.text));
    }
  }
}

}  // namespace georeckon
