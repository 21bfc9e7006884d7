#include "common/scan_line.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <limits>
#include <string>

namespace common {

namespace {

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsXDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// strtod in the "C" locale, whatever locale the program runs in. Only used
// for the rare values that from_chars reports as out of range, where strtod
// gives the overflowed or underflowed result that scanf stores.
double StrtodC(std::string_view number) {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const std::string copy(number);
  if (c_locale == static_cast<locale_t>(0)) return strtod(copy.c_str(), nullptr);
  return strtod_l(copy.c_str(), nullptr, c_locale);
}

}  // namespace

std::string_view TrimSpace(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsScanSpace(text[begin])) ++begin;
  while (end > begin && IsScanSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The collection rules follow the C library's scanf: it takes characters as
// long as they can continue a number ("1e" and "1e+" are taken whole, "nan("
// is not), and then converts what it took with strtod, which may use only a
// prefix of it. The conversion fails only when strtod can use nothing.
bool ScanDouble(std::string_view text, size_t* pos, double* value) {
  const size_t n = text.size();
  size_t i = *pos;
  while (i < n && IsScanSpace(text[i])) ++i;
  *pos = i;
  if (i >= n) return false;

  const size_t start = i;
  bool negative = false;
  bool got_sign = false;
  if (text[i] == '-' || text[i] == '+') {
    got_sign = true;
    negative = text[i] == '-';
    ++i;
    if (i >= n) {
      *pos = i;
      return false;
    }
  }

  // Consumes `word` (lower case) without regard to case; false on the first
  // mismatch.
  auto take = [&](const char* word) {
    for (const char* w = word; *w; ++w) {
      if (i >= n || Lower(text[i]) != *w) return false;
      ++i;
    }
    return true;
  };

  double v = 0.0;
  const char first = Lower(text[i]);
  if (first == 'n') {
    if (!take("nan")) {
      *pos = i;
      return false;
    }
    v = std::numeric_limits<double>::quiet_NaN();
  } else if (first == 'i') {
    if (!take("inf")) {
      *pos = i;
      return false;
    }
    // "inf" may go on to "infinity", but once an 'i' follows it must.
    if (i < n && Lower(text[i]) == 'i' && !take("inity")) {
      *pos = i;
      return false;
    }
    v = std::numeric_limits<double>::infinity();
  } else {
    bool hex = false;
    bool got_digit = false;
    bool got_dot = false;
    bool got_exp = false;
    char exp_char = 'e';
    if (text[i] == '0') {
      ++i;
      if (i < n && Lower(text[i]) == 'x') {
        hex = true;
        exp_char = 'p';
        ++i;
      } else {
        got_digit = true;
      }
    }
    while (i < n) {
      const char c = text[i];
      if (IsDigit(c)) {
        got_digit = true;
      } else if (hex && !got_exp && IsXDigit(c)) {
        got_digit = true;
      } else if (got_exp && Lower(text[i - 1]) == exp_char && (c == '-' || c == '+')) {
        // sign of the exponent
      } else if (got_digit && !got_exp && Lower(c) == exp_char) {
        got_exp = true;
        got_dot = true;
      } else if (c == '.' && !got_dot) {
        got_dot = true;
      } else {
        break;
      }
      ++i;
    }
    const size_t taken = i - start;
    const size_t sign_len = got_sign ? 1 : 0;
    *pos = i;
    if (taken == sign_len || (hex && taken == sign_len + 2)) return false;

    const std::string_view body = text.substr(start + sign_len, taken - sign_len);
    if (hex) {
      // from_chars reads the digits after "0x"; when there are none strtod
      // still reads the leading "0".
      const std::string_view digits = body.substr(2);
      const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v,
                                     std::chars_format::hex);
      if (r.ec == std::errc::invalid_argument) {
        v = 0.0;
      } else if (r.ec == std::errc::result_out_of_range) {
        *value = StrtodC(text.substr(start, taken));
        return true;
      }
    } else {
      const auto r = std::from_chars(body.data(), body.data() + body.size(), v);
      if (r.ec == std::errc::invalid_argument) return false;
      if (r.ec == std::errc::result_out_of_range) {
        *value = StrtodC(text.substr(start, taken));
        return true;
      }
    }
  }
  *pos = i;
  *value = negative ? -v : v;
  return true;
}

int ScanLine(std::string_view line, std::string_view pattern, ScanField* fields,
             int max_fields) {
  const size_t nul = line.find('\0');
  if (nul != std::string_view::npos) line = line.substr(0, nul);
  const size_t n = line.size();
  size_t i = 0;
  int count = 0;
  size_t p = 0;
  while (p < pattern.size()) {
    const char pc = pattern[p];
    if (IsScanSpace(pc)) {
      while (i < n && IsScanSpace(line[i])) ++i;
      ++p;
      continue;
    }
    if (pc != '%' || pattern.substr(p, 2) == "%%") {
      const size_t step = pc == '%' ? 2 : 1;
      if (i < n && line[i] == pc) {
        ++i;
        p += step;
        continue;
      }
      return count;
    }
    if (count >= max_fields) return count;
    if (pattern.substr(p, 2) == "%s") {
      p += 2;
      while (i < n && IsScanSpace(line[i])) ++i;
      if (i >= n) return count;
      const size_t start = i;
      while (i < n && !IsScanSpace(line[i])) ++i;
      fields[count].text = line.substr(start, i - start);
      fields[count].number = 0.0;
      ++count;
    } else if (pattern.substr(p, 3) == "%lf") {
      p += 3;
      double v = 0.0;
      if (!ScanDouble(line, &i, &v)) return count;
      fields[count].text = std::string_view();
      fields[count].number = v;
      ++count;
    } else {
      return count;
    }
  }
  return count;
}

}  // namespace common
