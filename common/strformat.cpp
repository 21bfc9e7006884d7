#include "common/strformat.h"

#include <cstdio>

namespace common {

namespace {

void AppendV(std::string* out, const char* format, va_list args) {
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out->append(small, static_cast<size_t>(n));
    return;
  }
  const size_t old = out->size();
  out->resize(old + static_cast<size_t>(n) + 1);
  std::vsnprintf(out->data() + old, static_cast<size_t>(n) + 1, format, args);
  out->resize(old + static_cast<size_t>(n));
}

}  // namespace

std::string StrFormatV(const char* format, va_list args) {
  std::string out;
  AppendV(&out, format, args);
  return out;
}

std::string StrFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = StrFormatV(format, args);
  va_end(args);
  return out;
}

void StrAppendFormat(std::string* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendV(out, format, args);
  va_end(args);
}

}  // namespace common
