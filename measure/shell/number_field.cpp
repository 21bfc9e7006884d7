#include "measure/shell/number_field.h"

#include <charconv>
#include <cmath>

#include "common/strformat.h"
#include "measure/shell/app_texts.h"

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

std::string RealFieldProblem(const std::string& text, const NumberRange& range) {
  double v = 0;
  if (!ParseReal(text, &v)) return ui::kEnterNumber;
  if (range.ranged && (v < range.min || v > range.max))
    return common::StrFormat(ui::kNumberRange, FormatReal(range.min).c_str(),
                             FormatReal(range.max).c_str());
  return {};
}

std::string IntegerFieldProblem(const std::string& text, const NumberRange& range) {
  int32_t v = 0;
  if (!ParseInteger(text, &v)) return ui::kEnterInteger;
  if (range.ranged && (v < range.min || v > range.max))
    return common::StrFormat(ui::kIntegerRange, common::StrFormat("%.0f", range.min).c_str(),
                             common::StrFormat("%.0f", range.max).c_str());
  return {};
}

}  // namespace vistamet
