// What the two parameter-solving dialogs share: the common-point table,
// the entry of one point by hand ("增加", "删除", "编辑") and the reading of
// a point list ("从文件读取", "读取").
#pragma once

#include <string>

#include "geotools/app/common_point_table.h"
#include "geotools/app/tool_dialog.h"

namespace georeckon {

class CCommonPointDlg : public CToolDialog {
 public:
  CCommonPointTable* table() const { return table_; }

 protected:
  CCommonPointDlg(wxWindow* parent, const char* title, CommonPointKind kind);

  // The table, then the entry group titled `entry_title` with the labels
  // of the coordinate edits, then the file group.
  void AddTableAndEntry(wxSizer* top, const char* entry_title, const char* const* labels);
  // The read-only view below the parameters that shows the residuals of
  // the last solve (window name "residuals"), added to `top`.
  wxTextCtrl* AddResidualView(wxSizer* top);
  // The file-save chooser of "保存参数"; false when cancelled.
  bool ChooseParamFile(std::string* path);

 private:
  void OnAdd();
  void OnDelete();
  void OnRead();

  CommonPointKind kind_;
  CCommonPointTable* table_ = nullptr;
  std::string point_name_;
  double entry_[6] = {0, 0, 0, 0, 0, 0};
  std::string list_file_;
};

}  // namespace georeckon
