// CPlaneCoorDlg, "平面坐标解算": the inverse (xy-->SA) and direct (SA-->xy)
// problems in the plane, for one line or a file of lines.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"

namespace georeckon {

class CPlaneCoorDlg : public CToolDialog {
 public:
  // Only the units are used; the ellipsoid is shown by "改变参数" alone.
  CPlaneCoorDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                int32_t output_unit);

 protected:
  std::string Description() const override;

 private:
  void ApplyType();
  void OnInverse();
  void OnDirect();
  void OnBatch(BatchFunction function);

  enum class Problem { kInverse, kDirect };  // two points --> S, A; S, A --> second point

  Problem problem_ = Problem::kInverse;
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0, S_ = 0, A_ = 0;
  std::string in_file_, out_file_;
  wxCheckBox* named_ = nullptr;  // "首列为点名"
};

}  // namespace georeckon
