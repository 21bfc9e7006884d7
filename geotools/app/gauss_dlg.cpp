#include "geotools/app/gauss_dlg.h"

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

CGaussDlg::CGaussDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                     int32_t output_unit)
    : CToolDialog(parent, t::kGaussTitle, e, input_unit, output_unit) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddTypeGroup(top, t::kGaussType0, t::kGaussType1, &projection_, [this] { ApplyType(); });
  AddPointGroup(
      top, t::kGroupSingle, {},
      {{t::kLabelB, "B", &B_, true, -90, 90},
       {t::kLabelL, "L", &L_, true, -180, 180},
       {t::kLabelH, "H", &H_}},
      {{t::kForward, "forward"}, {t::kBackward, "backward"}},
      {{t::kLabelSmallX, "x", &x_}, {t::kLabelSmallY, "y", &y_}, {t::kLabelSmallH, "h", &h_}});
  AddFieldGroup(top, t::kGroupMeridian,
                {{t::kMeridian, "L0", &L0_, true, -180, 180}, {t::kYConstant, "yConst", &y_const_}},
                2);
  AddBatchGroup(top, t::kGroupBatchNamed3, t::kInputFile, &in_file_, &out_file_,
                {{t::kGaussType0, "batch0"}, {t::kGaussType1, "batch1"}});
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("forward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnForward(); });
  ButtonNamed("backward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInverse(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kGaussForward); });
  ButtonNamed("batch1")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kGaussInverse); });
  ApplyType();
}

std::string CGaussDlg::Description() const {
  return DialogParamDescription(ellipsoid_, input_unit_, output_unit_);
}

void CGaussDlg::ApplyType() {
  EnableDirection(projection_ == Projection::kForward, {"B", "L", "H"}, {"x", "y", "h"});
}

void CGaussDlg::OnForward() {
  if (!ReadFields()) return;
  const AngleUnit unit = static_cast<AngleUnit>(input_unit_);
  if (LongitudeFarFromMeridian(ConvertAngle(L_, unit, kDegree), L0_)) {
    ShowMessage(texts::kLongitudeOver3, wxOK | wxICON_WARNING, this);
  }
  const ProjectedPoint p = GaussForward(B_, L_, H_, unit, L0_, y_const_, &ellipsoid_);
  x_ = RoundDecimals(p.x, 4);
  y_ = RoundDecimals(p.y, 4);
  h_ = RoundDecimals(p.h, 4);
  ShowFields();
}

void CGaussDlg::OnInverse() {
  if (!ReadFields()) return;
  const GeodeticPoint g =
      GaussInverse(x_, y_, h_, static_cast<AngleUnit>(output_unit_), L0_, y_const_, &ellipsoid_);
  B_ = RoundDecimals(g.B, 10);
  L_ = RoundDecimals(g.L, 10);
  H_ = RoundDecimals(g.H, 4);
  ShowFields();
}

void CGaussDlg::OnBatch(BatchFunction function) {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.l0 = L0_;
  s.yConst = y_const_;
  RunBatchButton(this, function, s, in_file_, out_file_);
}

}  // namespace georeckon
