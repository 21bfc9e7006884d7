#include "geotools/compute/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/scan_line.h"
#include "geotools/compute/angle_unit.h"

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

void AppendBatchFixed(std::string* out, double value, int width, int precision) {
  const size_t start = out->size();
  AppendFixed(out, value, width, precision);
  if (!std::signbit(value)) return;
  std::string_view text(*out);
  text.remove_prefix(start);
  if (text.find_first_of("123456789") != std::string_view::npos) return;
  out->resize(start);
  AppendFixed(out, 0.0, width, precision);
}

void AppendPackedDms(std::string* out, double degrees, int width, int precision) {
  const int k = precision - 4;  // decimals of the seconds
  if (k < 0 || k > 9 || !std::isfinite(degrees)) {
    AppendBatchFixed(out, ConvertAngle(degrees, kDegree, kPackedDms), width, precision);
    return;
  }
  long long scale = 1;
  for (int i = 0; i < k; ++i) scale *= 10;
  const double units = std::fabs(degrees) * 3600.0 * static_cast<double>(scale);
  if (units > 9e18) {
    AppendBatchFixed(out, ConvertAngle(degrees, kDegree, kPackedDms), width, precision);
    return;
  }
  const long long total = std::llround(units);
  const long long per_minute = 60 * scale;
  const long long per_degree = 60 * per_minute;
  const long long d = total / per_degree;
  const long long m = total % per_degree / per_minute;
  const long long s = total % per_minute / scale;
  const long long f = total % scale;
  char buf[64];
  int n = 0;
  if (k > 0) {
    n = std::snprintf(buf, sizeof buf, "%s%lld.%02lld%02lld%0*lld",
                      degrees < 0 && total > 0 ? "-" : "", d, m, s, k, f);
  } else {
    n = std::snprintf(buf, sizeof buf, "%s%lld.%02lld%02lld", degrees < 0 && total > 0 ? "-" : "",
                      d, m, s);
  }
  const size_t len = n < 0 ? 0 : static_cast<size_t>(n);
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
