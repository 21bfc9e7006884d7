#include "measure/app/new_project_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/model/photo_file.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

bool AddUniquePath(std::vector<std::string>& paths, const std::string& path) {
  if (path.empty()) return false;
  for (const std::string& p : paths)
    if (p == path || common::SameFile(p, path)) return false;
  paths.push_back(path);
  return true;
}

CNewProjectDialog::CNewProjectDialog(wxWindow* parent) : CDialogBase(parent, ui::kNewProjectTitle) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kNewProjectPhotos)), 0,
           wxLEFT | wxRIGHT | wxTOP, 10);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  list_ = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(420, -1), 0,
                         nullptr, wxCB_READONLY | wxCB_DROPDOWN);
  row->Add(list_, 1, wxALIGN_CENTER_VERTICAL);
  auto* add = new wxButton(this, wxID_ANY, wxString::FromUTF8(ui::kAddPhotosButton),
                           wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  row->Add(add, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 6);
  top->Add(row, 0, wxALL | wxEXPAND, 10);
  camera_ = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kNewProjectCamera));
  top->Add(camera_, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
  auto* grid = new wxFlexGridSizer(3, 6, 6);
  auto add_field = [this, grid](const char* label, const char* unit) {
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(label)), 0,
              wxALIGN_CENTER_VERTICAL);
    auto* field = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(120, -1));
    field->SetHint(wxString::FromUTF8("EXIF"));
    grid->Add(field, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(unit)), 0,
              wxALIGN_CENTER_VERTICAL);
    return field;
  };
  focal_ = add_field(ui::kNewProjectFocal, ui::kUnitMm);
  pixel_ = add_field(ui::kNewProjectPixelSize, ui::kUnitMmPerPixel);
  top->Add(grid, 0, wxALL, 10);
  top->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kNewProjectFromExif)), 0,
           wxLEFT | wxRIGHT | wxBOTTOM, 10);
  FinishLayout(top);
  add->Bind(wxEVT_BUTTON, &CNewProjectDialog::OnAddPhotos, this);
  list_->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { ShowCamera(); });
  UpdateOk();
}

std::string CNewProjectDialog::CameraText() const {
  return camera_->GetLabel().ToStdString(wxConvUTF8);
}

void CNewProjectDialog::ShowCamera() {
  const int i = list_->GetSelection();
  std::string text = ui::kNewProjectCamera;
  PhotoInfo info;
  std::string error;
  if (i < 0 || static_cast<size_t>(i) >= paths_.size()) {
    // nothing chosen yet
  } else if (!ProbePhotoFile(paths_[i], &info, &error)) {
    text += " " + error;
  } else if (info.camera.empty() && info.focalLengthMm <= 0 && info.pixelSizeMm <= 0) {
    text += std::string(" ") + ui::kNewProjectNoExif;
  } else {
    text += " " + (info.camera.empty() ? std::string("?") : info.camera);
    if (info.focalLengthMm > 0) text += common::StrFormat("  f %g mm", info.focalLengthMm);
    if (info.pixelSizeMm > 0) text += common::StrFormat("  %g mm/pixel", info.pixelSizeMm);
  }
  camera_->SetLabel(wxString::FromUTF8(text));
}

NewProjectCamera CNewProjectDialog::Camera() const {
  NewProjectCamera camera;
  double v = 0;
  if (focal_->GetValue().ToCDouble(&v) && v > 0 && v < 1e6) camera.f = v;
  if (pixel_->GetValue().ToCDouble(&v) && v > 0 && v < 1) camera.pixelSize = v;
  return camera;
}

void CNewProjectDialog::AddPaths(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!AddUniquePath(paths_, path)) continue;
    list_->SetSelection(list_->Append(wxString::FromUTF8(path)));
  }
  ShowCamera();
  UpdateOk();
}

void CNewProjectDialog::UpdateOk() {
  if (OkButton()) OkButton()->Enable(paths_.size() > 1);
}

void CNewProjectDialog::OnAddPhotos(wxCommandEvent&) {
  wxFileDialog dialog(this, wxString::FromUTF8(ui::kOpenTitle), wxEmptyString, wxEmptyString,
                      wxString::FromUTF8(ui::kImageFilter),
                      wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  wxArrayString chosen;
  dialog.GetPaths(chosen);
  std::vector<std::string> paths;
  for (const wxString& p : chosen) paths.push_back(p.ToStdString(wxConvUTF8));
  AddPaths(paths);
}

}  // namespace vistamet
