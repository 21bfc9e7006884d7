// CZoneChangeDlg, "高斯投影换带计算": Gauss plane coordinates from one
// projection zone to another, for one point or a point file.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/gauss.h"

namespace georeckon {

class CZoneChangeDlg : public CToolDialog {
 public:
  CZoneChangeDlg(wxWindow* parent, const EllipsoidParams& e);

 protected:
  std::string Description() const override;

 private:
  void OnCompute();
  void OnBatch();

  double x1_ = 0, y1_ = 0, h1_ = 0;
  double x2_ = 0, y2_ = 0, h2_ = 0;
  double L0_1_ = 0, L0_2_ = 0;          // central meridians, decimal degrees
  double y_const_ = kDefaultYConstant;  // metres added to y in both zones
  std::string in_file_, out_file_;
};

}  // namespace georeckon
