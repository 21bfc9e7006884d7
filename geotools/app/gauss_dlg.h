// CGaussDlg, "高斯投影正反算": Gauss projection forward (BLH-->xyh) and
// inverse (xyh-->BLH) about a central meridian, for one point or a file.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/gauss.h"

namespace georeckon {

class CGaussDlg : public CToolDialog {
 public:
  CGaussDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);

 protected:
  std::string Description() const override;

 private:
  void ApplyType();
  void OnForward();
  void OnInverse();
  void OnBatch(BatchFunction function);

  enum class Projection { kForward, kInverse };  // BLH --> xyh, xyh --> BLH

  Projection projection_ = Projection::kForward;
  double B_ = 0, L_ = 0, H_ = 0;
  double x_ = 0, y_ = 0, h_ = 0;
  double L0_ = 0;                       // central meridian, decimal degrees
  double y_const_ = kDefaultYConstant;  // metres added to y
  std::string in_file_, out_file_;
};

}  // namespace georeckon
