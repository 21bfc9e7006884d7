// CBLHXYZDlg, "BLH-XYZ": geodetic coordinates to space Cartesian
// coordinates and back, for one point or a point file.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"

namespace georeckon {

class CBLHXYZDlg : public CToolDialog {
 public:
  CBLHXYZDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);

 protected:
  std::string Description() const override;

 private:
  void ApplyType();
  void OnForward();
  void OnBackward();
  void OnBatch(BatchFunction function);

  enum class Conversion { kBlhToXyz, kXyzToBlh };

  Conversion conversion_ = Conversion::kBlhToXyz;
  double B_ = 0, L_ = 0, H_ = 0;
  double X_ = 0, Y_ = 0, Z_ = 0;
  std::string in_file_, out_file_;
};

}  // namespace georeckon
