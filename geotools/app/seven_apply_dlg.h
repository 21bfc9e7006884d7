// CSevenApplyDlg, "空间直角坐标转换": applies seven parameters (typed,
// imported from a parameter file or solved in CSevenSolveDlg) to a file of
// space Cartesian coordinates.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

class CSevenApplyDlg : public CToolDialog {
 public:
  explicit CSevenApplyDlg(wxWindow* parent);

  const SevenParams& params() const { return params_; }

 private:
  void ShowParams();
  void OnImport();
  void OnComputeParams();
  void OnTransform();

  SevenParams params_;
  std::string in_file_, out_file_;
};

}  // namespace georeckon
