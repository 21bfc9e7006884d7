#include "geotools/app/seven_apply_dlg.h"

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/param_import.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/compute/param_file.h"

namespace georeckon {

namespace t = app_texts;

CSevenApplyDlg::CSevenApplyDlg(wxWindow* parent) : CToolDialog(parent, t::kSevenApplyTitle) {
  LayOutApplyDialog(
      {{t::kSevenParamLabels[0], "dX0", &params_.dX0},
       {t::kSevenParamLabels[3], "thetaX", &params_.thetaX},
       {t::kSevenParamLabels[1], "dY0", &params_.dY0},
       {t::kSevenParamLabels[4], "thetaY", &params_.thetaY},
       {t::kSevenParamLabels[2], "dZ0", &params_.dZ0},
       {t::kSevenParamLabels[5], "thetaZ", &params_.thetaZ},
       {t::kSevenParamLabels[6], "dLambda", &params_.dLambda}},
      t::kGroupSevenFiles, &in_file_, &out_file_, [this] { OnImport(); },
      [this] { OnComputeParams(); }, [this] { OnTransform(); });
}

void CSevenApplyDlg::ShowParams() {
  ShowValues({&params_.dX0, &params_.dY0, &params_.dZ0, &params_.thetaX, &params_.thetaY,
              &params_.thetaZ, &params_.dLambda});
}

void CSevenApplyDlg::OnImport() {
  if (ImportParamFile(this, ReadSevenParamFile, &params_)) ShowParams();
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
