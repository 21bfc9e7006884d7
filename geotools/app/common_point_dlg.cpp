#include "geotools/app/common_point_dlg.h"

#include <wx/button.h>
#include <wx/font.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "common/strformat.h"
#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/residuals.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CCommonPointDlg::CCommonPointDlg(wxWindow* parent, const char* title, CommonPointKind kind)
    : CToolDialog(parent, title), kind_(kind) {}

void CCommonPointDlg::AddTableAndEntry(wxSizer* top, const char* entry_title,
                                       const char* const* labels) {
  table_ = new CCommonPointTable(this, kind_);
  top->Add(table_, 1, wxEXPAND | wxALL, FromDIP(8));

  const int cells = CellCount(kind_);
  const int per_side = cells / 2;
  static const char* const kNames[6] = {"entry0", "entry1", "entry2", "entry3", "entry4", "entry5"};
  wxStaticBoxSizer* entry = Group(entry_title, wxHORIZONTAL);
  wxWindow* box = entry->GetStaticBox();
  // The name on top; source coordinates in the left column, target in the
  // right one.
  auto* grid = new wxFlexGridSizer(4, FromDIP(wxSize(6, 6)));
  grid->AddGrowableCol(1, 1);
  grid->AddGrowableCol(3, 1);
  auto label = [box](const char* text) { return new wxStaticText(box, wxID_ANY, Wx(text)); };
  const int align = wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT;
  wxTextCtrl* name = TextEdit(box, "pointName", &point_name_);
  name->SetMinSize(wxSize(FromDIP(120), -1));
  name->SetSize(wxSize(FromDIP(120), -1));
  grid->Add(label(t::kPointName), 0, align);
  grid->Add(name, 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->AddSpacer(0);
  for (int r = 0; r < per_side; ++r) {
    for (int c : {r, r + per_side}) {
      wxTextCtrl* edit = NumberEdit(box, kNames[c], &entry_[c]);
      edit->SetMinSize(wxSize(FromDIP(120), -1));
      grid->Add(label(labels[c]), 0, align | (c >= per_side ? wxLEFT : 0), FromDIP(10));
      grid->Add(edit, 1, wxEXPAND);
    }
  }
  entry->Add(grid, 1, wxEXPAND | wxALL, FromDIP(6));
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  for (const ButtonDef& b : {ButtonDef{t::kAdd, "add"}, ButtonDef{t::kDelete, "delete"},
                              ButtonDef{t::kEdit, "edit"}}) {
    buttons->Add(MakeButton(box, b.label, b.name), 0, wxEXPAND | wxBOTTOM, FromDIP(4));
  }
  entry->Add(buttons, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(entry, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(8));

  wxStaticBoxSizer* file = Group(t::kGroupFromFile, wxHORIZONTAL);
  wxWindow* fbox = file->GetStaticBox();
  auto* file_grid = new wxFlexGridSizer(2, FromDIP(wxSize(6, 6)));
  file_grid->AddGrowableCol(1, 1);
  AddFileRow(fbox, file_grid, "", "listFile", &list_file_, false, t::kFilterText);
  file->Add(file_grid, 1, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  file->Add(MakeButton(fbox, t::kRead, "read"), 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(file, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(8));

  ButtonNamed("add")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(); });
  ButtonNamed("delete")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(); });
  ButtonNamed("edit")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { table_->ArmEditing(); });
  ButtonNamed("read")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRead(); });
  // Undo and redo of the table's rows.
  // The entry fields keep the keys for their own text.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    wxWindow* focus = FindFocus();
    if (dynamic_cast<wxTextCtrl*>(focus) && focus != table_->cell_editor()) {
      event.Skip();
      return;
    }
    const int key = event.GetKeyCode();
    if (event.GetModifiers() == wxMOD_CONTROL && key == 'Z') table_->Undo();
    else if (event.GetModifiers() == wxMOD_CONTROL && key == 'Y') table_->Redo();
    else if (event.GetModifiers() == (wxMOD_CONTROL | wxMOD_SHIFT) && key == 'Z') table_->Redo();
    else event.Skip();
  });
}

wxTextCtrl* CCommonPointDlg::AddResidualView(wxSizer* top) {
  wxStaticBoxSizer* group = Group(app_texts::kGroupResiduals, wxHORIZONTAL);
  wxWindow* box = group->GetStaticBox();
  auto* view = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition,
                              wxSize(-1, FromDIP(110)),
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP, wxDefaultValidator,
                              "residuals");
  view->SetFont(wxFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE)));
  group->Add(view, 1, wxEXPAND | wxALL, FromDIP(6));
  wxButton* drop = MakeButton(box, t::kDropWorst, "dropWorst");
  group->Add(drop, 0, wxALIGN_BOTTOM | wxALL, FromDIP(6));
  drop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDropWorst(); });
  top->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8));
  residual_view_ = view;
  return view;
}

bool CCommonPointDlg::ChooseParamFile(std::string* path) {
  FileRequest request;
  request.save = true;
  request.title = t::kSaveAsTitle;
  request.filter = t::kFilterAll;
  request.default_extension = t::kDefaultExtension;
  return ChooseFile(this, request, path);
}

void CCommonPointDlg::OnAdd() {
  table_->EndEditMode();
  if (!ReadFields()) return;
  table_->Append(MakeCommonPointRow(point_name_, entry_, CellCount(kind_)));
  point_name_.clear();
  for (double& v : entry_) v = 0;
  std::vector<const void*> cleared = {&point_name_};
  for (const double& v : entry_) cleared.push_back(&v);
  ShowValues(cleared);
}

void CCommonPointDlg::OnDelete() {
  table_->EndEditMode();
  table_->DeleteSelected();
}

void CCommonPointDlg::OnRead() {
  table_->EndEditMode();
  // Only the file name: the point being typed by hand has nothing to do
  // with the list.
  if (!ReadValues({&list_file_})) return;
  std::vector<CommonPointRow> rows;
  const PointListResult result = ReadCommonPointList(list_file_, kind_, &rows);
  if (!result.opened) {
    ShowFailure(texts::kOpenFileError, result.detail, this);
    return;
  }
  CCommonPointTable::Step step(*table_, app_texts::kStepReadList);
  for (const CommonPointRow& row : rows) table_->Append(row);
  if (!result.skips.empty()) {
    ShowMessage(LeftOutMessage(t::kListSummary, result.rows_added,
                               static_cast<int64_t>(result.skips.size()), result.skips),
                wxOK | wxICON_WARNING, this);
  }
}

void CCommonPointDlg::ShowResiduals(const SolveResiduals& residuals, const std::string& note) {
  residuals_ = residuals;
  solved_rows_ = table_->rows();
  residual_view_->ChangeValue(Wx(note + FormatResidualReport(residuals)));
}

void CCommonPointDlg::OnDropWorst() {
  table_->CloseEditor();
  // The residuals must belong to the rows shown now.
  const int worst = residuals_.worst;
  if (worst < 0 || table_->rows() != solved_rows_) {
    ShowMessage(t::kSolveFirst, wxOK | wxICON_WARNING, this);
    return;
  }
  const bool spatial = kind_ == CommonPointKind::kSpatial;
  if (table_->count() - 1 < (spatial ? 3 : 1)) {
    ShowMessage(spatial ? texts::kNeedThreePoints : texts::kNeedOnePoint,
                wxOK | wxICON_WARNING, this);
    return;
  }
  const std::string name = table_->rows()[static_cast<size_t>(worst)].name;
  table_->DeleteRow(worst);
  Solve(common::StrFormat(t::kDroppedPoint, name.c_str()) + "\n");
}

void CCommonPointDlg::OfferResidualReport() {
  if (residuals_.points.empty() || table_->rows() != solved_rows_) return;
  if (ShowMessage(t::kOfferReport, wxYES_NO | wxICON_QUESTION, this) != wxYES) return;
  FileRequest request;
  request.save = true;
  request.title = t::kSaveAsTitle;
  request.filter = t::kFilterAll;
  request.default_extension = t::kDefaultExtension;
  std::string path, error;
  if (!ChooseFile(this, request, &path)) return;
  if (!WriteResidualReport(path, residuals_, &error)) {
    ShowFailure(texts::kCreateFileError, error, this);
    return;
  }
  OpenWithDefaultProgram(path);
}

}  // namespace georeckon
