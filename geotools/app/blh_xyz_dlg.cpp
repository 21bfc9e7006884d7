#include "geotools/app/blh_xyz_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/compute/cartesian.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"

namespace georeckon {

CBLHXYZDlg::CBLHXYZDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                       int32_t output_unit)
    : CToolDialog(parent, app_texts::kBlhTitle, e, input_unit, output_unit) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddTypeGroup(top, app_texts::kBlhType0, app_texts::kBlhType1, &conversion_, [this] { ApplyType(); });
  AddPointGroup(top, app_texts::kGroupSingle, {},
                {{app_texts::kLabelB, "B", &B_, true, -90, 90},
                 {app_texts::kLabelL, "L", &L_, true, -180, 180},
                 {app_texts::kLabelH, "H", &H_}},
                {{app_texts::kForward, "forward"}, {app_texts::kBackward, "backward"}},
                {{app_texts::kLabelX, "X", &X_},
                 {app_texts::kLabelY, "Y", &Y_},
                 {app_texts::kLabelZ, "Z", &Z_}});
  AddBatchGroup(top, app_texts::kGroupBatchNamed3, app_texts::kInputFile, &in_file_, &out_file_,
                {{app_texts::kBlhBatch0, "batch0"}, {app_texts::kBlhBatch1, "batch1"}});
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("forward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnForward(); });
  ButtonNamed("backward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBackward(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kBlhToXyz); });
  ButtonNamed("batch1")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kXyzToBlh); });
  ApplyType();
}

std::string CBLHXYZDlg::Description() const {
  return DialogParamDescription(ellipsoid_, input_unit_, output_unit_);
}

void CBLHXYZDlg::ApplyType() {
  const bool forward = conversion_ == Conversion::kBlhToXyz;
  ButtonNamed("forward")->Enable(forward);
  ButtonNamed("batch0")->Enable(forward);
  ButtonNamed("backward")->Enable(!forward);
  ButtonNamed("batch1")->Enable(!forward);
  for (const char* name : {"B", "L", "H"}) EditNamed(name)->SetEditable(forward);
  for (const char* name : {"X", "Y", "Z"}) EditNamed(name)->SetEditable(!forward);
}

void CBLHXYZDlg::OnForward() {
  if (!ReadFields()) return;
  double X, Y, Z;
  BLHToXYZ(B_, L_, H_, static_cast<AngleUnit>(input_unit_), &ellipsoid_, &X, &Y, &Z);
  X_ = RoundDecimals(X, 4);
  Y_ = RoundDecimals(Y, 4);
  Z_ = RoundDecimals(Z, 4);
  ShowFields();
}

void CBLHXYZDlg::OnBackward() {
  if (!ReadFields()) return;
  double B, L, H;
  XYZToBLH(X_, Y_, Z_, static_cast<AngleUnit>(output_unit_), &ellipsoid_, &B, &L, &H);
  B_ = RoundDecimals(B, 10);
  L_ = RoundDecimals(L, 10);
  H_ = RoundDecimals(H, 4);
  ShowFields();
}

void CBLHXYZDlg::OnBatch(BatchFunction function) {
  if (!ReadFields()) return;
  RunBatchButton(this, function, Settings(), in_file_, out_file_);
}

}  // namespace georeckon
