#include "measure/app/new_project_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "common/atomic_file.h"
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
  FinishLayout(top);
  add->Bind(wxEVT_BUTTON, &CNewProjectDialog::OnAddPhotos, this);
  UpdateOk();
}

void CNewProjectDialog::AddPaths(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (!AddUniquePath(paths_, path)) continue;
    list_->SetSelection(list_->Append(wxString::FromUTF8(path)));
  }
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
