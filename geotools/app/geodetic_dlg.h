// CGeodeticDlg, "大地主题解算": the inverse (BL-->SA) and direct (SA-->BL)
// geodetic problems on the ellipsoid, for one line or a file of lines.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"

namespace georeckon {

class CGeodeticDlg : public CToolDialog {
 public:
  CGeodeticDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);

 protected:
  std::string Description() const override;

 private:
  void ApplyType();
  void OnInverse();
  void OnDirect();
  void OnBatch(BatchFunction function);

  enum class Problem { kInverse, kDirect };  // two points --> S, A; S, A --> second point

  Problem problem_ = Problem::kInverse;
  double B1_ = 0, L1_ = 0, B2_ = 0, L2_ = 0, S_ = 0, A_ = 0;
  std::string in_file_, out_file_;
  wxCheckBox* named_ = nullptr;  // "首列为点名"
};

}  // namespace georeckon
