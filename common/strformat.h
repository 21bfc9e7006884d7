// printf-style formatting into std::string. Every number format the programs
// show or write goes through here (never through iostream manipulators), so
// output is byte-for-byte what the C format gives.
#pragma once

#include <cstdarg>
#include <string>

namespace common {

std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string StrFormatV(const char* format, va_list args);
// Appends to *out.
void StrAppendFormat(std::string* out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace common
