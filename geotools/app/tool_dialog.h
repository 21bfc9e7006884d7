// The common frame of the function dialogs: building blocks for their
// groups, the bound number and file edits, the "相关参数" group with its
// "改变参数" button, and the file rows with their "..." choosers.
//
// Controls carry window names (SetName) that say what they hold ("B",
// "forward", "inFile", …); the window tests find them by these names.
#pragma once

#include <wx/dialog.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "geotools/app/entry_fields.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/ellipsoid.h"

class wxBoxSizer;
class wxButton;
class wxCheckBox;
class wxFlexGridSizer;
class wxRadioButton;
class wxSizer;
class wxStaticBoxSizer;
class wxTextCtrl;

namespace georeckon {

// A labelled number edit of a dialog group: label, window name, bound value
// and optional limits.
struct FieldDef {
  const char* label;
  const char* name;
  double* value;
  bool ranged = false;
  double min = 0;
  double max = 0;
};

// A button of a dialog group: label and window name.
struct ButtonDef {
  const char* label;
  const char* name;
};

class CToolDialog : public wxDialog {
 public:
  CToolDialog(wxWindow* parent, const char* title);
  // A dialog starting from the given ellipsoid and units.
  CToolDialog(wxWindow* parent, const char* title, const EllipsoidParams& e, int32_t input_unit,
              int32_t output_unit);

  // The ellipsoid and angle units this dialog works with (copies of the
  // document's; "改变参数" changes them here only).
  const EllipsoidParams& ellipsoid() const { return ellipsoid_; }
  int32_t input_unit() const { return input_unit_; }
  int32_t output_unit() const { return output_unit_; }

 protected:
  // The text of the "相关参数" group; empty for dialogs without one.
  virtual std::string Description() const { return std::string(); }

  // A titled group whose children are created on group->GetStaticBox().
  wxStaticBoxSizer* Group(const char* title, int orient = wxVERTICAL);

  // An edit bound to *value, shown "%.15g", optionally limited to
  // [min, max]. Created on `parent`, named `name`.
  wxTextCtrl* NumberEdit(wxWindow* parent, const char* name, double* value);
  wxTextCtrl* NumberEdit(wxWindow* parent, const char* name, double* value, double min, double max);
  // The edit of `field`, with its limits when it has any.
  wxTextCtrl* NumberEdit(wxWindow* parent, const FieldDef& field);
  wxTextCtrl* TextEdit(wxWindow* parent, const char* name, std::string* value);

  // Label and control side by side into a two-column grid.
  void AddRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, wxWindow* control);

  wxButton* MakeButton(wxWindow* parent, const char* label, const char* name);
  wxRadioButton* MakeRadio(wxWindow* parent, const char* label, const char* name, bool first);

  // The "相关参数" group: the read-only description and "改变参数".
  void AddParamsGroup(wxSizer* top);
  // A file row: label, edit bound to *path, and a "..." button opening a
  // chooser (open with "(*.*)|*.*||", or save with default extension
  // "txt" and an overwrite question).
  void AddFileRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, const char* name,
                  std::string* path, bool save, const char* filter);
  // A group of number edits: `upper` fields in pairs on top, then the
  // `left` fields, the buttons in a column, and the `right` fields.
  void AddPointGroup(wxSizer* top, const char* title, const std::vector<FieldDef>& upper,
                     const std::vector<FieldDef>& left, const std::vector<ButtonDef>& buttons,
                     const std::vector<FieldDef>& right);
  // A group of number edits in rows of `columns` label/edit pairs.
  // Buttons, if any, go in a row at the group's foot.
  void AddFieldGroup(wxSizer* top, const char* title, const std::vector<FieldDef>& fields,
                     int columns, const std::vector<ButtonDef>& buttons = {});
  // A batch group: the input file row (`in_label`, "(*.*)|*.*||"), the
  // output row ("保存到:", save chooser) and the buttons in a row.
  // The group also holds the check box "首行写计算说明" ("header"), which
  // Settings() reads.
  // With `named`, the check box "首列为点名" ("namedLines") before the
  // buttons: lines that begin with a point name, written before the results.
  void AddBatchGroup(wxSizer* top, const char* title, const char* in_label, std::string* in,
                     std::string* out, const std::vector<ButtonDef>& buttons,
                     wxCheckBox** named = nullptr);
  // The whole layout of a dialog that applies transformation parameters to
  // a file: the parameter fields in rows of two with "导入参数" ("import")
  // and "计算参数" ("computeParams") at the group's foot, the file group
  // titled `files_title`, and "转换" ("transform", the default button)
  // beside "取消". The three buttons run `import`, `compute` and `transform`.
  void LayOutApplyDialog(const std::vector<FieldDef>& params, const char* files_title,
                         std::string* in, std::string* out, std::function<void()> import,
                         std::function<void()> compute, std::function<void()> transform);
  // Shows which of the two directions of a conversion is chosen: "forward",
  // "batch0" and the `first_edits` work for the first, "backward", "batch1"
  // and the `second_edits` for the second; the others are disabled.
  void EnableDirection(bool first, std::initializer_list<const char*> first_edits,
                       std::initializer_list<const char*> second_edits);
  // The control named `name` in this dialog.
  wxButton* ButtonNamed(const char* name);
  wxTextCtrl* EditNamed(const char* name);

  // The "转换类型" group: two radio buttons named "type0" and "type1" for
  // the first and second value of a two-valued enum, showing *type;
  // `changed` runs after the user picks one.
  template <typename Type>
  void AddTypeGroup(wxSizer* top, const char* label0, const char* label1, Type* type,
                    std::function<void()> changed) {
    AddTypeRadios(top, label0, label1, static_cast<int>(*type), [type, changed](int picked) {
      *type = static_cast<Type>(picked);
      changed();
    });
  }
  // The batch settings of this dialog's ellipsoid and units.
  BatchSettings Settings() const;
  // "确定" and "取消"; "确定" reads the fields first.
  void AddOkCancel(wxSizer* top);

  // Reads every bound edit (false, with the message shown, when one is not
  // a number or out of its limits); shows every bound value.
  bool ReadFields() { return fields_.Read(this); }
  // Reads only the fields bound at these addresses.
  bool ReadValues(const std::vector<const void*>& values) {
    return fields_.ReadOnly(this, values);
  }
  void ShowFields() { fields_.Show(); }
  void ShowValues(const std::vector<const void*>& values) { fields_.ShowOnly(values); }
  void RefreshDescription();

  // What "确定" does before the dialog closes; false keeps it open. Reads
  // the bound edits unless a dialog does more.
  virtual bool Accept();
  // Closes the dialog with `code` (also when it runs without a modal loop).
  void EndWith(int code);

  // Lays the dialog out around `top`.
  void Finish(wxSizer* top);

  EllipsoidParams ellipsoid_;
  int32_t input_unit_ = 1;
  int32_t output_unit_ = 1;

 private:
  // The radio buttons of AddTypeGroup; `picked` gets 0 or 1.
  void AddTypeRadios(wxSizer* top, const char* label0, const char* label1, int shown,
                     std::function<void(int)> picked);
  void OnChangeParams(wxCommandEvent&);
  void OnOk(wxCommandEvent&);

  wxCheckBox* header_box_ = nullptr;  // "首行写计算说明" of the batch group

  CEntryFields fields_;
  wxTextCtrl* description_ = nullptr;
};

// The control of `dialog` with window name `name`, or null when there is no
// such control of type T.
template <typename T>
T* FindControl(wxWindow* dialog, const char* name) {
  return dynamic_cast<T*>(wxWindow::FindWindowByName(name, dialog));
}

}  // namespace georeckon
