// The number fields of the dialogs, apart from any window: how a field
// writes and reads its number, independent of the process locale (reals
// with up to 15 significant digits, integers in decimal), and the message a
// field gives for a text that is no number or lies outside its range.
#pragma once

#include <cstdint>
#include <string>

namespace vistamet {

// The accepted values of a field; without `ranged` any number is accepted.
struct NumberRange {
  bool ranged = false;
  double min = 0, max = 0;
};

std::string FormatReal(double value);
bool ParseReal(const std::string& text, double* value);
bool ParseInteger(const std::string& text, int32_t* value);

// The message for `text` in a real (integer) field, "" when it is valid.
std::string RealFieldProblem(const std::string& text, const NumberRange& range);
std::string IntegerFieldProblem(const std::string& text, const NumberRange& range);

}  // namespace vistamet
