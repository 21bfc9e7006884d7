#include "geotools/app/seven_apply_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/param_import.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/param_file.h"

namespace georeckon {

namespace t = app_texts;

CSevenApplyDlg::CSevenApplyDlg(wxWindow* parent) : CToolDialog(parent, t::kSevenApplyTitle) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddFieldGroup(top, t::kGroupTransformParams,
                {{t::kSevenParamLabels[0], "dX0", &params_.dX0},
                 {t::kSevenParamLabels[3], "thetaX", &params_.thetaX},
                 {t::kSevenParamLabels[1], "dY0", &params_.dY0},
                 {t::kSevenParamLabels[4], "thetaY", &params_.thetaY},
                 {t::kSevenParamLabels[2], "dZ0", &params_.dZ0},
                 {t::kSevenParamLabels[5], "thetaZ", &params_.thetaZ},
                 {t::kSevenParamLabels[6], "dLambda", &params_.dLambda}},
                2, {{t::kImportParams, "import"}, {t::kComputeParams, "computeParams"}});
  AddBatchGroup(top, t::kGroupSevenFiles, t::kSourceFile, &in_file_, &out_file_, {});

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  wxButton* transform = MakeButton(this, t::kTransform, "transform");
  row->Add(transform, 0, wxRIGHT, FromDIP(6));
  row->Add(new wxButton(this, wxID_CANCEL, Wx(t::kCancel)), 0);
  top->Add(row, 0, wxEXPAND | wxALL, FromDIP(8));
  transform->SetDefault();
  Finish(top);

  ButtonNamed("import")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnImport(); });
  ButtonNamed("computeParams")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnComputeParams(); });
  transform->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnTransform(); });
}

void CSevenApplyDlg::ShowParams() {
  ShowValues({&params_.dX0, &params_.dY0, &params_.dZ0, &params_.thetaX, &params_.thetaY,
              &params_.thetaZ, &params_.dLambda});
}

void CSevenApplyDlg::OnImport() {
  std::string path;
  if (!ChooseParamFileToImport(this, &path)) return;
  SevenParams read;
  if (!ReportParamFileResult(this, ReadSevenParamFile(path, &read))) return;
  params_ = read;
  ShowParams();
}

void CSevenApplyDlg::OnComputeParams() {
  CSevenSolveDlg solver(this);
  if (solver.ShowModal() != wxID_OK) return;
  params_ = solver.params();
  ShowParams();
}

void CSevenApplyDlg::OnTransform() {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.seven = params_;
  RunBatchButton(this, BatchFunction::kSevenApply, s, in_file_, out_file_);
}

}  // namespace georeckon
