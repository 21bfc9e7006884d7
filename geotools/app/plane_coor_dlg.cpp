#include "geotools/app/plane_coor_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/plane_problem.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CPlaneCoorDlg::CPlaneCoorDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                             int32_t output_unit)
    : CToolDialog(parent, t::kPlaneTitle, e, input_unit, output_unit) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddTypeGroup(top, t::kPlaneType0, t::kPlaneType1, &problem_, [this] { ApplyType(); });
  AddPointGroup(top, t::kGroupSingle, {{t::kLabelX1, "x1", &x1_}, {t::kLabelY1, "y1", &y1_}},
                {{t::kLabelX2, "x2", &x2_}, {t::kLabelY2, "y2", &y2_}},
                {{t::kForward, "forward"}, {t::kBackward, "backward"}},
                {{t::kLabelS, "S", &S_, true, 0, 1e20}, {t::kLabelA, "A", &A_}});
  AddBatchGroup(top, t::kGroupPlaneBatch, t::kInputFile, &in_file_, &out_file_,
                {{t::kPlaneType0, "batch0"}, {t::kPlaneType1, "batch1"}},
                &named_);
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("forward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInverse(); });
  ButtonNamed("backward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDirect(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kPlaneInverse); });
  ButtonNamed("batch1")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kPlaneDirect); });
  ApplyType();
}

std::string CPlaneCoorDlg::Description() const {
  return PlaneParamDescription(input_unit_, output_unit_);
}

void CPlaneCoorDlg::ApplyType() {
  EnableDirection(problem_ == Problem::kInverse, {"x2", "y2"}, {"S", "A"});
}

void CPlaneCoorDlg::OnInverse() {
  if (!ReadFields()) return;
  double S, A;
  PlaneInverse(x1_, y1_, x2_, y2_, static_cast<AngleUnit>(output_unit_), &S, &A);
  S_ = RoundDecimals(S, 10);
  A_ = RoundDecimals(A, 6);
  ShowFields();
}

void CPlaneCoorDlg::OnDirect() {
  if (!ReadFields()) return;
  double x2, y2;
  if (!PlaneDirect(x1_, y1_, S_, A_, static_cast<AngleUnit>(input_unit_), &x2, &y2)) {
    ShowMessage(texts::kNegativeDistance, wxOK | wxICON_WARNING, this);
    return;
  }
  x2_ = RoundDecimals(x2, 10);
  y2_ = RoundDecimals(y2, 10);
  ShowFields();
}

void CPlaneCoorDlg::OnBatch(BatchFunction function) {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.namedLines = named_->GetValue();
  RunBatchButton(this, function, s, in_file_, out_file_);
}

}  // namespace georeckon
