#include "geotools/app/zone_change_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CZoneChangeDlg::CZoneChangeDlg(wxWindow* parent, const EllipsoidParams& e)
    : CToolDialog(parent, t::kZoneTitle, e, kPackedDms, kPackedDms) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddPointGroup(top, t::kGroupSingle, {},
                {{t::kLabelX1, "x1", &x1_}, {t::kLabelY1, "y1", &y1_}, {t::kLabelH1, "h1", &h1_}},
                {{t::kCompute, "compute"}},
                {{t::kLabelX2, "x2", &x2_}, {t::kLabelY2, "y2", &y2_}, {t::kLabelH2, "h2", &h2_}});
  AddFieldGroup(top, t::kGroupMeridian,
                {{t::kMeridian1, "L0_1", &L0_1_, true, -180, 180},
                 {t::kYConstant, "yConst", &y_const_},
                 {t::kMeridian2, "L0_2", &L0_2_, true, -180, 180}},
                2);
  AddBatchGroup(top, t::kGroupZoneBatch, t::kInputFile, &in_file_, &out_file_,
                {{t::kCompute, "batch0"}});
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("compute")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCompute(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBatch(); });
}

std::string CZoneChangeDlg::Description() const { return ZoneChangeParamDescription(ellipsoid_); }

void CZoneChangeDlg::OnCompute() {
  if (!ReadFields()) return;
  if (MeridiansFarApart(L0_1_, L0_2_)) {
    ShowMessage(texts::kMeridiansOver6, wxOK | wxICON_INFORMATION, this);
  }
  const ProjectedPoint p = GaussZoneChange(x1_, y1_, h1_, L0_1_, L0_2_, y_const_, &ellipsoid_);
  x2_ = RoundDecimals(p.x, 4);
  y2_ = RoundDecimals(p.y, 4);
  h2_ = RoundDecimals(p.h, 4);
  ShowFields();
}

void CZoneChangeDlg::OnBatch() {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.l0 = L0_1_;
  s.l0_2 = L0_2_;
  s.yConst = y_const_;
  RunBatchButton(this, BatchFunction::kZoneChange, s, in_file_, out_file_);
}

}  // namespace georeckon
