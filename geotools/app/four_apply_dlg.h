// CFourApplyDlg, "平面直角坐标转换": applies four parameters (typed,
// imported from a parameter file or solved in CFourSolveDlg) to a file of
// plane coordinates.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/four_params.h"

namespace georeckon {

class CFourApplyDlg : public CToolDialog {
 public:
  explicit CFourApplyDlg(wxWindow* parent);

  const FourParams& params() const { return params_; }

 private:
  void ShowParams();
  void OnImport();
  void OnComputeParams();
  void OnTransform();

  FourParams params_;
  std::string in_file_, out_file_;
};

}  // namespace georeckon
