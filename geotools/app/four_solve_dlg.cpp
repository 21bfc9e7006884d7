#include "geotools/app/four_solve_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/param_file.h"
#include "geotools/compute/residuals.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CFourSolveDlg::CFourSolveDlg(wxWindow* parent)
    : CCommonPointDlg(parent, t::kFourSolveTitle, CommonPointKind::kPlane) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddTableAndEntry(top, t::kGroupFourManual, t::kFourEntryLabels);

  wxStaticBoxSizer* group = Group(t::kGroupTransformParams, wxHORIZONTAL);
  wxWindow* box = group->GetStaticBox();
  // "平移参数:" dx0 dy0 / "旋转参数:" dθ / "缩放参数:" dλ.
  auto* grid = new wxFlexGridSizer(5, FromDIP(wxSize(6, 6)));
  grid->AddGrowableCol(2, 1);
  grid->AddGrowableCol(4, 1);
  double* values[4] = {&params_.dx0, &params_.dy0, &params_.dTheta, &params_.dLambda};
  static const char* const kNames[4] = {"dx0", "dy0", "dTheta", "dLambda"};
  wxTextCtrl* edits[4];
  for (int i = 0; i < 4; ++i) {
    edits[i] = NumberEdit(box, kNames[i], values[i]);
    edits[i]->SetEditable(false);
    edits[i]->SetMinSize(wxSize(FromDIP(120), -1));
  }
  auto label = [box](const char* text) { return new wxStaticText(box, wxID_ANY, Wx(text)); };
  const int align = wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT;
  grid->Add(label(t::kShiftParams), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(label(t::kFourParamLabels[0]), 0, align);
  grid->Add(edits[0], 1, wxEXPAND);
  grid->Add(label(t::kFourParamLabels[1]), 0, align);
  grid->Add(edits[1], 1, wxEXPAND);
  grid->Add(label(t::kRotationParams), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(label(t::kFourParamLabels[2]), 0, align);
  grid->Add(edits[2], 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->AddSpacer(0);
  grid->Add(label(t::kScaleParams), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(label(t::kFourParamLabels[3]), 0, align);
  grid->Add(edits[3], 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->AddSpacer(0);
  group->Add(grid, 1, wxEXPAND | wxALL, FromDIP(6));
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(MakeButton(box, t::kSaveParams, "saveParams"), 0, wxEXPAND | wxBOTTOM, FromDIP(4));
  buttons->Add(MakeButton(box, t::kSolve, "solve"), 0, wxEXPAND);
  group->Add(buttons, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(group, 0, wxEXPAND | wxALL, FromDIP(8));
  residuals_ = AddResidualView(top);

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  auto* ok = new wxButton(this, wxID_OK, Wx(t::kOk));
  row->Add(ok, 0);
  top->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8));
  ok->SetDefault();
  Finish(top);

  ButtonNamed("solve")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSolve(); });
  ButtonNamed("saveParams")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSave(); });
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { EndWith(wxID_OK); }, wxID_OK);
}

void CFourSolveDlg::OnSolve() {
  table()->CloseEditor();
  FourParams solved;
  switch (SolveFourFromRows(table()->rows(), &solved)) {
    case SolveStatus::kOk:
      params_ = solved;
      residuals_->ChangeValue(Wx(FormatResidualReport(FourResiduals(table()->rows(), params_))));
      ShowValues({&params_.dx0, &params_.dy0, &params_.dTheta, &params_.dLambda});
      break;
    case SolveStatus::kTooFewPoints:
      ShowMessage(texts::kNeedOnePoint, wxOK | wxICON_WARNING, this);
      break;
    case SolveStatus::kSingular:
      ShowMessage(texts::kFourSolveFailed, wxOK | wxICON_WARNING, this);
      break;
    case SolveStatus::kOutOfMemory:
      ShowError(texts::kOutOfMemory, this);
      break;
  }
}

void CFourSolveDlg::OnSave() {
  table()->CloseEditor();
  std::string path;
  if (!ChooseParamFile(&path)) return;
  std::string error;
  if (!WriteFourParamFile(path, params_, table()->rows(), &error)) {
    ShowError(texts::kCreateFileError, this);
    return;
  }
  OpenWithDefaultProgram(path);
}

}  // namespace georeckon
