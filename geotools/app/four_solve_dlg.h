// CFourSolveDlg, "平面直角坐标转换参数求解": the four parameters of a plane
// similarity transformation from common points, saved to a parameter file
// or handed to the apply dialog with "确定".
#pragma once

#include "geotools/app/common_point_dlg.h"
#include "geotools/compute/four_params.h"

namespace georeckon {

class CFourSolveDlg : public CCommonPointDlg {
 public:
  explicit CFourSolveDlg(wxWindow* parent);

  // The parameters as shown (rounded as the solver rounds them).
  const FourParams& params() const { return params_; }

 private:
  void OnSolve();
  void OnSave();

  FourParams params_;
  wxTextCtrl* residuals_ = nullptr;  // residuals and σ0 of the last solve
};

}  // namespace georeckon
