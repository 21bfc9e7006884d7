#include "geotools/app/four_apply_dlg.h"

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/param_import.h"
#include "geotools/compute/param_file.h"

namespace georeckon {

namespace t = app_texts;

CFourApplyDlg::CFourApplyDlg(wxWindow* parent) : CToolDialog(parent, t::kFourApplyTitle) {
  LayOutApplyDialog(
      {{t::kFourParamLabels[0], "dx0", &params_.dx0},
       {t::kFourParamLabels[1], "dy0", &params_.dy0},
       {t::kFourParamLabels[2], "dTheta", &params_.dTheta},
       {t::kFourParamLabels[3], "dLambda", &params_.dLambda}},
      t::kGroupFourFiles, &in_file_, &out_file_, [this] { OnImport(); },
      [this] { OnComputeParams(); }, [this] { OnTransform(); });
}

void CFourApplyDlg::ShowParams() {
  ShowValues({&params_.dx0, &params_.dy0, &params_.dTheta, &params_.dLambda});
}

void CFourApplyDlg::OnImport() {
  if (ImportParamFile(this, ReadFourParamFile, &params_)) ShowParams();
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
