// CSevenSolveDlg, "空间直角坐标转换参数求解": the seven parameters of a
// spatial similarity transformation from common points, saved to a
// parameter file or handed to the apply dialog with "确定".
#pragma once

#include "geotools/app/common_point_dlg.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

class CSevenSolveDlg : public CCommonPointDlg {
 public:
  explicit CSevenSolveDlg(wxWindow* parent);

  // The parameters as shown (rounded as the solver rounds them).
  const SevenParams& params() const { return params_; }

 private:
  void OnSolve();
  void OnSave();

  SevenParams params_;
  wxTextCtrl* residuals_ = nullptr;  // residuals and σ0 of the last solve
};

}  // namespace georeckon
