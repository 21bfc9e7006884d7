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

// As AppendFixed, but a value that rounds to zero prints as zero without a
// minus sign ("0.0000", never "-0.0000").
void AppendBatchFixed(std::string* out, double value, int width, int precision);

// Decimal degrees written in the packed unit D.MMSSsss with `precision`
// decimals, right-aligned in `width`. The seconds are rounded to their
// precision - 4 decimals and a full 60 seconds or minutes is carried, so
// 119.99999999999° prints as 120.0000000000, never 119.5959999999 or
// 119.5960000000. Precision below 4, or a value too large for whole
// units of the last digit, is written as AppendFixed of the packed value.
void AppendPackedDms(std::string* out, double degrees, int width, int precision);

// `value` rounded the way a displayed value is rounded: formatted with
// "%.<decimals>f" and read back.
double RoundDecimals(double value, int decimals);

// Reads a number the way a displayed cell or edit text is read back: the
// text's leading number as scanf's %lf takes it; 0 when there is none.
double ParseNumberOrZero(const std::string& text);

}  // namespace georeckon
