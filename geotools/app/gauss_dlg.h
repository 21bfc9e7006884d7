// CGaussDlg, "高斯投影正反算": Gauss projection forward (BLH-->xyh) and
// inverse (xyh-->BLH) about a central meridian, for one point or a file.
// With 3° or 6° zones chosen, the central meridian follows from a zone
// number or from each point's longitude, and y may carry the zone number
// as its prefix. The central meridian and zone width are kept in the
// program's settings for the next time. "高精度投影" computes with the
// series of gauss_exact.h.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/gauss.h"

class wxCheckBox;
class wxChoice;

namespace georeckon {

class CGaussDlg : public CToolDialog {
 public:
  CGaussDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit, int32_t output_unit);
  ~CGaussDlg() override;

 protected:
  std::string Description() const override;

 private:
  void ApplyType();
  void ApplyZoneWidth();
  void OnForward();
  void OnInverse();
  void OnMeridianFromZone();
  void OnBatch(BatchFunction function);
  // 0 (no zones), 3 or 6.
  int ZoneWidth() const;
  void SaveSettings();

  enum class Projection { kForward, kInverse };  // BLH --> xyh, xyh --> BLH

  Projection projection_ = Projection::kForward;
  double B_ = 0, L_ = 0, H_ = 0;
  double x_ = 0, y_ = 0, h_ = 0;
  double L0_ = 0;                       // central meridian, decimal degrees
  double y_const_ = kDefaultYConstant;  // metres added to y
  double zone_ = 1;                     // zone number of the zone field
  std::string in_file_, out_file_;
  wxChoice* width_list_ = nullptr;
  wxCheckBox* from_point_ = nullptr;
  wxCheckBox* prefix_ = nullptr;
  wxCheckBox* exact_ = nullptr;  // Krüger series instead of the classical ones
};

}  // namespace georeckon
