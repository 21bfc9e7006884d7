// What the two parameter-solving dialogs share: the common-point table,
// the entry of one point by hand ("增加", "删除", "编辑") and the reading of
// a point list ("从文件读取", "读取").
#pragma once

#include <string>
#include <vector>

#include "geotools/app/common_point_table.h"
#include "geotools/app/tool_dialog.h"
#include "geotools/compute/residuals.h"

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
  // Solves from the rows shown; `note` goes before the residuals.
  virtual void Solve(const std::string& note) = 0;
  // After a solve: shows `note` and the residuals and keeps them for
  // "去掉最差点重新求解" and for the report offered by OfferResidualReport.
  void ShowResiduals(const SolveResiduals& residuals, const std::string& note);
  // After the parameter file was saved: asks whether the residual report
  // of the last solve should be saved too, and saves it.
  void OfferResidualReport();

 private:
  void OnAdd();
  void OnDelete();
  void OnRead();
  // "去掉最差点重新求解": removes the point with the largest residual of the
  // last solve and solves again.
  void OnDropWorst();

  CommonPointKind kind_;
  CCommonPointTable* table_ = nullptr;
  std::string point_name_;
  double entry_[6] = {0, 0, 0, 0, 0, 0};
  std::string list_file_;
  wxTextCtrl* residual_view_ = nullptr;
  SolveResiduals residuals_;                 // of the last solve
  std::vector<CommonPointRow> solved_rows_;  // the rows it was solved from
};

}  // namespace georeckon
