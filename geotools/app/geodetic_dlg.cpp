#include "geotools/app/geodetic_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/geodesic.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CGeodeticDlg::CGeodeticDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                           int32_t output_unit)
    : CToolDialog(parent, t::kGeodeticTitle, e, input_unit, output_unit) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddTypeGroup(top, t::kGeodeticType0, t::kGeodeticType1, &problem_, [this] { ApplyType(); });
  AddPointGroup(
      top, t::kGroupSingle,
      {{t::kLabelB1, "B1", &B1_, true, -90, 90}, {t::kLabelL1, "L1", &L1_, true, -180, 180}},
      {{t::kLabelB2, "B2", &B2_, true, -90, 90}, {t::kLabelL2, "L2", &L2_, true, -180, 180}},
      {{t::kForward, "forward"}, {t::kBackward, "backward"}},
      {{t::kLabelS, "S", &S_, true, 0, 1e29}, {t::kLabelA, "A", &A_}});
  AddBatchGroup(top, t::kGroupGeodeticBatch, t::kInputFile, &in_file_, &out_file_,
                {{t::kGeodeticType0, "batch0"}, {t::kGeodeticType1, "batch1"}},
                &named_);
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("forward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInverse(); });
  ButtonNamed("backward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDirect(); });
  ButtonNamed("batch0")->Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnBatch(BatchFunction::kGeodeticInverse); });
  ButtonNamed("batch1")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kGeodeticDirect); });
  ApplyType();
}

std::string CGeodeticDlg::Description() const {
  return DialogParamDescription(ellipsoid_, input_unit_, output_unit_);
}

void CGeodeticDlg::ApplyType() {
  EnableDirection(problem_ == Problem::kInverse, {"B2", "L2"}, {"S", "A"});
}

void CGeodeticDlg::OnInverse() {
  if (!ReadFields()) return;
  double S, A;
  if (!GeodeticInverse(B1_, L1_, B2_, L2_, static_cast<AngleUnit>(input_unit_),
                       static_cast<AngleUnit>(output_unit_), &ellipsoid_, &S, &A)) {
    ShowMessage(texts::kNoConvergence, wxOK | wxICON_WARNING, this);
    return;
  }
  S_ = RoundDecimals(S, 5);
  A_ = RoundDecimals(A, 10);
  ShowFields();
}

void CGeodeticDlg::OnDirect() {
  if (!ReadFields()) return;
  double B2, L2;
  if (!GeodeticDirect(B1_, L1_, S_, A_, static_cast<AngleUnit>(input_unit_),
                      static_cast<AngleUnit>(output_unit_), &ellipsoid_, &B2, &L2)) {
    ShowMessage(texts::kNotFiniteInput, wxOK | wxICON_WARNING, this);
    return;
  }
  B2_ = RoundDecimals(B2, 10);
  L2_ = RoundDecimals(L2, 10);
  ShowFields();
}

void CGeodeticDlg::OnBatch(BatchFunction function) {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.namedLines = named_->GetValue();
  RunBatchButton(this, function, s, in_file_, out_file_);
}

}  // namespace georeckon
