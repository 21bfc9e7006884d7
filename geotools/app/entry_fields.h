// Number edits of the dialogs: how a typed value is read, checked against
// the field's limits and shown again. An action reads every field of its
// dialog first; the first field that holds no number or lies outside its
// limits gets the message and the focus, and the action stops with no value
// changed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class wxTextCtrl;
class wxWindow;

namespace georeckon {

// The typed text as a number: blanks around one number and nothing else.
// Infinities and not-a-number are refused.
bool ParseEntryNumber(std::string_view text, double* value);

// How a value is shown in an edit: "%.15g".
std::string FormatEntryNumber(double value);

// "请填入一个在<min>和<max>之间的数字。" with the bounds as "%.15g".
std::string RangeMessage(double min, double max);

// The number and text edits of one dialog, bound to the dialog's values in
// the order they were added.
class CEntryFields {
 public:
  void AddNumber(wxTextCtrl* edit, double* value);
  void AddNumber(wxTextCtrl* edit, double* value, double min, double max);
  void AddText(wxTextCtrl* edit, std::string* value);

  // Reads every field; on the first bad one shows the number or range
  // message, focuses and selects that edit and returns false without
  // changing any bound value.
  bool Read(wxWindow* parent) { return ReadOnly(parent, {}); }
  // The same for the fields bound at these addresses only (every field
  // when the list is empty); the other edits are not looked at.
  bool ReadOnly(wxWindow* parent, const std::vector<const void*>& values);

  // Shows every bound value in its edit.
  void Show();
  // Shows only the values bound at these addresses; the other edits keep
  // what has been typed into them.
  void ShowOnly(const std::vector<const void*>& values);

 private:
  struct Field {
    wxTextCtrl* edit = nullptr;
    double* number = nullptr;
    std::string* text = nullptr;
    bool ranged = false;
    double min = 0;
    double max = 0;
  };
  std::vector<Field> fields_;
};

}  // namespace georeckon
