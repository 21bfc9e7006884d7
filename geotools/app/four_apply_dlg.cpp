#include "geotools/app/four_apply_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/param_import.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/param_file.h"

namespace georeckon {

namespace t = app_texts;

CFourApplyDlg::CFourApplyDlg(wxWindow* parent) : CToolDialog(parent, t::kFourApplyTitle) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddFieldGroup(top, t::kGroupTransformParams,
                {{t::kFourParamLabels[0], "dx0", &params_.dx0},
                 {t::kFourParamLabels[1], "dy0", &params_.dy0},
                 {t::kFourParamLabels[2], "dTheta", &params_.dTheta},
                 {t::kFourParamLabels[3], "dLambda", &params_.dLambda}},
                2, {{t::kImportParams, "import"}, {t::kComputeParams, "computeParams"}});
  AddBatchGroup(top, t::kGroupFourFiles, t::kSourceFile, &in_file_, &out_file_, {});

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

void CFourApplyDlg::ShowParams() {
  ShowValues({&params_.dx0, &params_.dy0, &params_.dTheta, &params_.dLambda});
}

void CFourApplyDlg::OnImport() {
  std::string path;
  if (!ChooseParamFileToImport(this, &path)) return;
  FourParams read;
  if (!ReportParamFileResult(this, ReadFourParamFile(path, &read))) return;
  params_ = read;
  ShowParams();
}

void CFourApplyDlg::OnComputeParams() {
  CFourSolveDlg solver(this);
  if (solver.ShowModal() != wxID_OK) return;
  params_ = solver.params();
  ShowParams();
}

void CFourApplyDlg::OnTransform() {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.four = params_;
  RunBatchButton(this, BatchFunction::kFourApply, s, in_file_, out_file_);
}

}  // namespace georeckon
