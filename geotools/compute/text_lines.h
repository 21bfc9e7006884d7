// Line handling shared by every text file the coordinate tools read: point
// files, common-point lists and parameter files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/cp936.h"

namespace georeckon {

// `text` without a leading UTF-8 byte order mark.
std::string_view StripUtf8Bom(std::string_view text);

// Walks the lines of a text: each ends at '\n' (not included) or at the end
// of the text; a last line that ends with '\n' is followed by no empty line.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}
  // The next line, without '\n' (a '\r' before it stays). False at the end.
  bool Next(std::string_view* line);
  // 1-based number of the line last returned.
  int64_t line_number() const { return line_number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int64_t line_number_ = 0;
};

// `line` without a trailing '\r' (the rest of a "\r\n" line end).
std::string_view WithoutCarriageReturn(std::string_view line);

// The part of a line a C string would see: up to its first NUL byte.
std::string_view UpToNul(std::string_view line);

// How many bytes the line takes in code page 936, the unit of the minimum
// line lengths: the byte count of a line of a CP936 file; for a line of a
// UTF-8 file, one for each ASCII character and two for every other
// character, as the same text has in CP936.
size_t CodePageLength(std::string_view line, common::TextEncoding encoding);

}  // namespace georeckon
