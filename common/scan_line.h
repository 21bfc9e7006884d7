// scanf-style reading of one text line, independent of the C locale.
//
// The point files of the coordinate tools are read with patterns such as
// "%s %lf %lf %lf". ScanLine reads a line exactly as sscanf in the "C" locale
// reads it with such a pattern (same fields accepted, same characters
// consumed, same values), but never looks at the process locale, never
// allocates and hands %s fields back as views into the line.
#pragma once

#include <cstddef>
#include <string_view>

namespace common {

// One field read by ScanLine: the bytes of a %s field (a view into the line
// given to ScanLine) or the value of a %lf field.
struct ScanField {
  std::string_view text;
  double number = 0.0;
};

// The white space of scanf and of the line trimming: blank, \t, \n, \v, \f, \r.
inline bool IsScanSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// `text` without leading and trailing white space.
std::string_view TrimSpace(std::string_view text);

// Reads `line` with `pattern`, whose directives are "%s" (a run of non-blank
// bytes), "%lf" (a floating-point number: decimal, hexadecimal "0x…p…",
// "inf", "infinity" or "nan", with an optional sign), white space (any run of
// white space in the line, also none) and other bytes (which must match the
// line byte for byte). The line ends at its first NUL byte, as a C string
// does. Fields are stored in order into fields[0 .. max_fields-1].
// Returns the number of fields read before the first failure; bytes left
// over after the last directive are ignored. An empty line gives 0 (where
// sscanf returns EOF). A pattern with an unsupported directive or more fields
// than max_fields stops at that directive.
int ScanLine(std::string_view line, std::string_view pattern, ScanField* fields,
             int max_fields);

// scanf's %lf on `text` from *pos: skips white space, then consumes the
// longest run of characters that scanf takes for a number and converts it as
// strtod would. On success *value is set, *pos moves past the consumed
// characters and true is returned. On failure false is returned and *pos may
// have moved past characters that scanf also consumes before failing.
bool ScanDouble(std::string_view text, size_t* pos, double* value);

}  // namespace common
