#include "measure/app/options_sheet.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure/shell/app_texts.h"
#include "measure/app/range_validator.h"
#include "measure/app/flag_validator.h"
#include "measure/shell/recovery.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

constexpr int kGap = 8;
const wxSize kEditSize(110, -1);

wxTextCtrl* NumberEdit(wxWindow* parent, const wxValidator& validator) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, kEditSize);
  edit->SetValidator(validator);
  return edit;
}

// One "label: [edit] unit" row of a grid with three columns.
wxTextCtrl* AddRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label,
                   const wxValidator& validator, const char* unit = nullptr) {
  grid->Add(new wxStaticText(parent, wxID_ANY, U(label)), 0,
            wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  wxTextCtrl* edit = NumberEdit(parent, validator);
  grid->Add(edit, 0, wxEXPAND);
  if (unit)
    grid->Add(new wxStaticText(parent, wxID_ANY, U(unit)), 0, wxALIGN_CENTER_VERTICAL);
  else
    grid->AddSpacer(0);
  return edit;
}

wxFlexGridSizer* Grid() {
  auto* grid = new wxFlexGridSizer(3, kGap, kGap);
  grid->AddGrowableCol(1);
  return grid;
}

}  // namespace

// --- Page 1 ---

CPageAdjust::CPageAdjust(wxWindow* parent, OptionsValues& v) : wxPanel(parent) {
  auto* top = new wxBoxSizer(wxVERTICAL);

  auto* points = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kGroupImagePoints));
  wxWindow* pbox = points->GetStaticBox();
  lms_ = new wxCheckBox(pbox, wxID_ANY, U(ui::kLmsFeature));
  lms_->SetValidator(CFlagValidator(&v.adjust.bLmsFeature));
  clean_ = new wxCheckBox(pbox, wxID_ANY, U(ui::kCleanPoints));
  clean_->SetValidator(CFlagValidator(&v.adjust.bCleanPoints));
  points->Add(lms_, 0, wxALL, 4);
  points->Add(clean_, 0, wxALL, 4);
  top->Add(points, 0, wxALL | wxEXPAND, kGap);

  auto* tol = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kGroupTolerance));
  wxWindow* tbox = tol->GetStaticBox();
  wxFlexGridSizer* tgrid = Grid();
  coord_tol_ = AddRow(tbox, tgrid, ui::kCoordTol, CRangeValidator(&v.adjust.dCoordTol, 0, 10000),
                      ui::kUnitMm);
  angle_tol_ = AddRow(tbox, tgrid, ui::kAngleTol, CRangeValidator(&v.adjust.dAngleTol, 0, 0.1),
                      ui::kUnitRad);
  tol->Add(tgrid, 0, wxALL | wxEXPAND, 4);
  top->Add(tol, 0, wxLEFT | wxRIGHT | wxEXPAND, kGap);

  wxFlexGridSizer* grid = Grid();
  max_iter_ = AddRow(this, grid, ui::kMaxIter, CRangeValidator(&v.adjust.nMaxIter, 0, 200));
  control_weight_ =
      AddRow(this, grid, ui::kControlWeight, CRangeValidator(&v.adjust.dControlWeight, 1, 10000));
  top->Add(grid, 0, wxALL | wxEXPAND, kGap);

  keep_min_ = new wxCheckBox(this, wxID_ANY, U(ui::kKeepMinRms));
  keep_min_->SetValidator(CFlagValidator(&v.adjust.bKeepMinRms));
  top->Add(keep_min_, 0, wxLEFT | wxRIGHT | wxBOTTOM, kGap);

  // The observation weights stay with the project but are not offered.
  auto* weights = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kGroupWeights));
  wxWindow* wbox = weights->GetStaticBox();
  wxFlexGridSizer* wgrid = Grid();
  weight_x_ = AddRow(wbox, wgrid, ui::kWeightX, CRangeValidator(&v.adjust.dWeightX, 0, 10000));
  weight_y_ = AddRow(wbox, wgrid, ui::kWeightY, CRangeValidator(&v.adjust.dWeightY, 0, 10000));
  weights->Add(wgrid, 0, wxALL | wxEXPAND, 4);
  top->Add(weights, 0, wxALL | wxEXPAND, kGap);
  top->Hide(weights, true);

  SetSizer(top);
}

// --- Page 2 ---

CPagePhotoSet::CPagePhotoSet(wxWindow* parent, OptionsValues& v) : wxPanel(parent) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto_plane_ = new wxCheckBox(this, wxID_ANY, U(ui::kAutoPlaneTrans));
  auto_plane_->SetValidator(CFlagValidator(&v.bAutoPlaneTrans));
  show_adjusted_ = new wxCheckBox(this, wxID_ANY, U(ui::kShowAdjusted));
  show_adjusted_->SetValidator(CFlagValidator(&v.bShowAdjusted));
  show_distances_ = new wxCheckBox(this, wxID_ANY, U(ui::kShowDistances));
  show_distances_->SetValidator(CFlagValidator(&v.bShowDistances));
  for (wxCheckBox* box : {auto_plane_, show_adjusted_, show_distances_})
    top->Add(box, 0, wxALL, 10);
  wxFlexGridSizer* grid = Grid();
  photo_cache_ = AddRow(this, grid, ui::kPhotoCache,
                        CRangeValidator(&v.photoCacheMb, kMinPhotoCacheMb, kMaxPhotoCacheMb),
                        ui::kUnitMb);
  top->Add(grid, 0, wxALL, 10);

  // How the extraction measures the targets; kept per user.
  auto* targets = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kGroupTargets));
  wxWindow* tbox = targets->GetStaticBox();
  target_refine_ = new wxCheckBox(tbox, wxID_ANY, U(ui::kTargetRefine));
  target_refine_->SetValidator(CFlagValidator(&v.targets.refine));
  target_reject_ = new wxCheckBox(tbox, wxID_ANY, U(ui::kTargetReject));
  target_reject_->SetValidator(CFlagValidator(&v.targets.rejectFalse));
  target_weights_ = new wxCheckBox(tbox, wxID_ANY, U(ui::kTargetWeights));
  target_weights_->SetValidator(CFlagValidator(&v.targets.weightsFromFit));
  for (wxCheckBox* box : {target_refine_, target_reject_, target_weights_})
    targets->Add(box, 0, wxALL, 4);
  top->Add(targets, 0, wxALL | wxEXPAND, kGap);
  SetSizer(top);
}

// --- Page 3 ---

CPageCamera::CPageCamera(wxWindow* parent, OptionsValues& v) : wxPanel(parent), values_(v) {
  CameraParams& c = v.camera;
  auto* top = new wxBoxSizer(wxVERTICAL);

  wxFlexGridSizer* grid = Grid();
  edits_[kFocal] = AddRow(this, grid, ui::kFocal, CRangeValidator(&c.f, 0, 10000), ui::kUnitMm);
  edits_[kU0] = AddRow(this, grid, ui::kU0, CRangeValidator(&c.u0, -10000, 10000), ui::kUnitMm);
  edits_[kV0] = AddRow(this, grid, ui::kV0, CRangeValidator(&c.v0, -10000, 10000), ui::kUnitMm);
  top->Add(grid, 0, wxALL | wxEXPAND, kGap);

  auto* distortion = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kGroupDistortion));
  wxWindow* dbox = distortion->GetStaticBox();
  wxFlexGridSizer* dgrid = Grid();
  edits_[kA1] = AddRow(dbox, dgrid, ui::kA1, CRangeValidator(&c.A1));
  edits_[kA2] = AddRow(dbox, dgrid, ui::kA2, CRangeValidator(&c.A2));
  edits_[kR0] = AddRow(dbox, dgrid, ui::kR0, CRangeValidator(&c.R0), ui::kUnitMm);
  distortion->Add(dgrid, 0, wxALL | wxEXPAND, 4);
  top->Add(distortion, 0, wxLEFT | wxRIGHT | wxEXPAND, kGap);

  wxFlexGridSizer* pgrid = Grid();
  edits_[kPixelSize] = AddRow(this, pgrid, ui::kPixelSize, CRangeValidator(&c.pixelSize, 0, 1),
                              ui::kUnitMmPerPixel);
  top->Add(pgrid, 0, wxALL | wxEXPAND, kGap);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  d7_ = new wxButton(this, wxID_ANY, U(ui::kD7));
  d75_ = new wxButton(this, wxID_ANY, U(ui::kD75));
  buttons->Add(d7_, 0, wxRIGHT, kGap);
  buttons->Add(d75_, 0);
  top->Add(buttons, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxALIGN_RIGHT, kGap);
  SetSizer(top);

  for (wxTextCtrl* edit : edits_) edit->Bind(wxEVT_TEXT, &CPageCamera::OnEdited, this);
  d7_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PresetPixelSize(kPixelSizeD7); });
  d75_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PresetPixelSize(kPixelSizeD75); });
}

void CPageCamera::OnEdited(wxCommandEvent& event) {
  // Only typing reaches here: filling the fields does not send the event.
  values_.cameraChanged = true;
  event.Skip();
}

void CPageCamera::PresetPixelSize(double pixel_size) {
  if (!ValidateTree(this) || !TransferTreeFromWindow(this)) return;
  if (SetPixelSizePreset(values_, pixel_size)) TransferTreeToWindow(this);
}

// --- The sheet ---

// --- Page 4 ---

wxPanel* COptionsSheet::AutosavePage(wxWindow* parent, int32_t& minutes) {
  auto* page = new wxPanel(parent);
  auto* top = new wxBoxSizer(wxVERTICAL);
  wxFlexGridSizer* grid = Grid();
  autosave_minutes_ = AddRow(page, grid, ui::kAutosaveMinutesLabel,
                             CRangeValidator(&minutes, 0, kAutosaveMinutesMax));
  top->Add(grid, 0, wxALL | wxEXPAND, kGap);
  auto* note = new wxStaticText(page, wxID_ANY, U(ui::kAutosaveNote));
  note->Wrap(360);
  top->Add(note, 0, wxALL, kGap);
  page->SetSizer(top);
  return page;
}

COptionsSheet::COptionsSheet(wxWindow* parent, const OptionsValues& values)
    : CDialogBase(parent, ui::kOptionsTitle), values_(values) {
  values_.cameraChanged = false;
  auto* top = new wxBoxSizer(wxVERTICAL);
  book_ = new wxNotebook(this, wxID_ANY);
  adjust_ = new CPageAdjust(book_, values_);
  photo_ = new CPagePhotoSet(book_, values_);
  camera_ = new CPageCamera(book_, values_);
  book_->AddPage(adjust_, U(ui::kPageAdjust), true);
  book_->AddPage(photo_, U(ui::kPagePhoto));
  book_->AddPage(camera_, U(ui::kPageCamera));
  book_->AddPage(AutosavePage(book_, values_.autosaveMinutes), U(ui::kPageAutosave));
  top->Add(book_, 1, wxALL | wxEXPAND, 10);
  FinishLayout(top);
  TransferDataToWindow();
}

}  // namespace vistamet
