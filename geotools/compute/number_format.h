// Fixed-point number text for the files and displays of the coordinate tools.
//
// Every output field is a C printf format "%W.Pf" ("%13.4lf", "%16.10lf", …).
// These helpers give byte for byte what snprintf gives for that format in the
// "C" locale (the tests compare them with snprintf), but they never depend on
// the process locale and are several times faster, which matters for batch
// files of millions of lines.
#pragma once

#include <string>

namespace georeckon {

// Appends `value` formatted as "%<width>.<precision>f": right-aligned with
// blanks to at least `width` characters; "nan", "-nan", "inf", "-inf" as
// printf writes them. precision 0..40.
void AppendFixed(std::string* out, double value, int width, int precision);
std::string FormatFixed(double value, int width, int precision);

// `value` rounded the way a displayed value is rounded: formatted with
// "%.<decimals>f" and read back.
double RoundDecimals(double value, int decimals);

// Reads a number the way a displayed cell or edit text is read back: the
// text's leading number as scanf's %lf takes it; 0 when there is none.
double ParseNumberOrZero(const std::string& text);

}  // namespace georeckon
