#include "geotools/compute/number_format.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "common/scan_line.h"

namespace georeckon {

void AppendFixed(std::string* out, double value, int width, int precision) {
  if (precision < 0) precision = 0;
  if (precision > 40) precision = 40;
  // The largest double has 309 integer digits; with sign, point and 40
  // decimals the text fits easily.
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
  size_t len;
  if (r.ec == std::errc()) {
    len = static_cast<size_t>(r.ptr - buf);
  } else {
    const int n = std::snprintf(buf, sizeof buf, "%.*f", precision, value);
    len = n < 0 ? 0 : static_cast<size_t>(n);
    if (len >= sizeof buf) len = sizeof buf - 1;
  }
  if (width > 0 && len < static_cast<size_t>(width)) out->append(width - len, ' ');
  out->append(buf, len);
}

std::string FormatFixed(double value, int width, int precision) {
  std::string s;
  AppendFixed(&s, value, width, precision);
  return s;
}

double RoundDecimals(double value, int decimals) {
  std::string text;
  AppendFixed(&text, value, 0, decimals);
  size_t pos = 0;
  double back = value;
  if (!common::ScanDouble(text, &pos, &back)) return value;
  return back;
}

double ParseNumberOrZero(const std::string& text) {
  size_t pos = 0;
  double v = 0.0;
  if (!common::ScanDouble(text, &pos, &v)) return 0.0;
  return v;
}

}  // namespace georeckon
