// CZoneChangeDlg, "高斯投影换带计算": Gauss plane coordinates from one
// projection zone to another, for one point or a point file. With 3° or 6°
// zones and "y坐标含带号", y is read with the zone number of zone 1 before it
// (zone 1 may be taken from it) and written with that of zone 2;
// "高精度投影" computes with the series of gauss_exact.h.
#pragma once

#include <string>

#include "geotools/app/tool_dialog.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/gauss.h"

class wxCheckBox;
class wxChoice;

namespace georeckon {

class CZoneChangeDlg : public CToolDialog {
 public:
  CZoneChangeDlg(wxWindow* parent, const EllipsoidParams& e);

 protected:
  std::string Description() const override;

 private:
  void AddZoneGroup(wxSizer* top);
  void ApplyZoneWidth();
  void OnCompute();
  void OnBatch();
  // The settings of both actions from the fields read last.
  BatchSettings ZoneSettings() const;

  double x1_ = 0, y1_ = 0, h1_ = 0;
  double x2_ = 0, y2_ = 0, h2_ = 0;
  double L0_1_ = 0, L0_2_ = 0;          // central meridians, decimal degrees
  double y_const_ = kDefaultYConstant;  // metres added to y in both zones
  std::string in_file_, out_file_;
  wxChoice* width_list_ = nullptr;
  wxCheckBox* prefix_ = nullptr;      // y carries the zone number, in and out
  wxCheckBox* from_prefix_ = nullptr; // zone 1 from y's zone number
  wxCheckBox* exact_ = nullptr;
};

}  // namespace georeckon
