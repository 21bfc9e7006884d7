#include "geotools/app/tool_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/param_dlg.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

CToolDialog::CToolDialog(wxWindow* parent, const char* title)
    : wxDialog(parent, wxID_ANY, Wx(title), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {}

CToolDialog::CToolDialog(wxWindow* parent, const char* title, const EllipsoidParams& e,
                         int32_t input_unit, int32_t output_unit)
    : CToolDialog(parent, title) {
  ellipsoid_ = e;
  input_unit_ = input_unit;
  output_unit_ = output_unit;
}

wxStaticBoxSizer* CToolDialog::Group(const char* title, int orient) {
  return new wxStaticBoxSizer(orient, this, Wx(title));
}

wxTextCtrl* CToolDialog::NumberEdit(wxWindow* parent, const char* name, double* value) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                              wxSize(FromDIP(150), -1), 0, wxDefaultValidator, name);
  fields_.AddNumber(edit, value);
  return edit;
}

wxTextCtrl* CToolDialog::NumberEdit(wxWindow* parent, const char* name, double* value, double min,
                                    double max) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                              wxSize(FromDIP(150), -1), 0, wxDefaultValidator, name);
  fields_.AddNumber(edit, value, min, max);
  return edit;
}

wxTextCtrl* CToolDialog::NumberEdit(wxWindow* parent, const FieldDef& field) {
  return field.ranged ? NumberEdit(parent, field.name, field.value, field.min, field.max)
                      : NumberEdit(parent, field.name, field.value);
}

wxTextCtrl* CToolDialog::TextEdit(wxWindow* parent, const char* name, std::string* value) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                              wxSize(FromDIP(320), -1), 0, wxDefaultValidator, name);
  fields_.AddText(edit, value);
  return edit;
}

void CToolDialog::AddRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label,
                         wxWindow* control) {
  grid->Add(new wxStaticText(parent, wxID_ANY, Wx(label)), 0,
            wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  grid->Add(control, 1, wxEXPAND);
}

wxButton* CToolDialog::MakeButton(wxWindow* parent, const char* label, const char* name) {
  return new wxButton(parent, wxID_ANY, Wx(label), wxDefaultPosition, wxDefaultSize, 0,
                      wxDefaultValidator, name);
}

wxRadioButton* CToolDialog::MakeRadio(wxWindow* parent, const char* label, const char* name,
                                      bool first) {
  return new wxRadioButton(parent, wxID_ANY, Wx(label), wxDefaultPosition, wxDefaultSize,
                           first ? wxRB_GROUP : 0, wxDefaultValidator, name);
}

void CToolDialog::AddParamsGroup(wxSizer* top) {
  wxStaticBoxSizer* group = Group(app_texts::kGroupParams, wxHORIZONTAL);
  wxWindow* box = group->GetStaticBox();
  // Two lines: the ellipsoid and the units rarely fit in one.
  description_ = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxTE_READONLY | wxTE_MULTILINE | wxTE_NO_VSCROLL,
                                wxDefaultValidator, "description");
  description_->SetMinSize(wxSize(FromDIP(400), 2 * description_->GetCharHeight() + FromDIP(14)));
  wxButton* change = MakeButton(box, app_texts::kChangeParams, "changeParams");
  change->Bind(wxEVT_BUTTON, &CToolDialog::OnChangeParams, this);
  group->Add(description_, 1, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(4));
  group->Add(change, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(4));
  top->Add(group, 0, wxEXPAND | wxALL, FromDIP(6));
  RefreshDescription();
}

void CToolDialog::AddFileRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label,
                             const char* name, std::string* path, bool save, const char* filter) {
  wxTextCtrl* edit = TextEdit(parent, name, path);
  wxButton* browse =
      new wxButton(parent, wxID_ANY, Wx(app_texts::kBrowse), wxDefaultPosition, wxDefaultSize,
                   wxBU_EXACTFIT, wxDefaultValidator, wxString(name) + "Browse");
  browse->Bind(wxEVT_BUTTON, [this, edit, save, filter](wxCommandEvent&) {
    FileRequest request;
    request.save = save;
    request.title = save ? app_texts::kSaveAsTitle : app_texts::kOpenTitle;
    request.filter = filter;
    if (save) request.default_extension = app_texts::kDefaultExtension;
    request.initial_path = Utf8(edit->GetValue());
    std::string chosen;
    if (ChooseFile(this, request, &chosen)) edit->ChangeValue(Wx(chosen));
  });
  grid->Add(new wxStaticText(parent, wxID_ANY, Wx(label)), 0,
            wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
  row->Add(browse, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(4));
  grid->Add(row, 1, wxEXPAND);
}

void CToolDialog::AddTypeRadios(wxSizer* top, const char* label0, const char* label1, int shown,
                                std::function<void(int)> picked) {
  wxStaticBoxSizer* group = Group(app_texts::kGroupType, wxHORIZONTAL);
  const char* labels[2] = {label0, label1};
  for (int t = 0; t < 2; ++t) {
    wxRadioButton* radio =
        MakeRadio(group->GetStaticBox(), labels[t], t == 0 ? "type0" : "type1", t == 0);
    radio->SetValue(shown == t);
    radio->Bind(wxEVT_RADIOBUTTON, [t, picked](wxCommandEvent&) { picked(t); });
    group->Add(radio, 0, wxALL, FromDIP(6));
    group->AddSpacer(FromDIP(24));
  }
  top->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(6));
}

namespace {

void AddFields(wxWindow* parent, wxFlexGridSizer* grid, const std::vector<FieldDef>& fields,
               const std::function<wxTextCtrl*(const FieldDef&)>& make) {
  for (const FieldDef& f : fields) {
    grid->Add(new wxStaticText(parent, wxID_ANY, Wx(f.label)), 0,
              wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
    grid->Add(make(f), 1, wxEXPAND);
  }
}

}  // namespace

void CToolDialog::AddPointGroup(wxSizer* top, const char* title,
                                const std::vector<FieldDef>& upper,
                                const std::vector<FieldDef>& left,
                                const std::vector<ButtonDef>& buttons,
                                const std::vector<FieldDef>& right) {
  wxStaticBoxSizer* group = Group(title);
  wxWindow* box = group->GetStaticBox();
  auto make = [this, box](const FieldDef& f) { return NumberEdit(box, f); };
  const wxSize gap = FromDIP(wxSize(6, 6));
  if (!upper.empty()) {
    auto* grid = new wxFlexGridSizer(4, gap);
    grid->AddGrowableCol(1, 1);
    grid->AddGrowableCol(3, 1);
    AddFields(box, grid, upper, make);
    group->Add(grid, 0, wxEXPAND | wxALL, FromDIP(6));
  }
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto* left_grid = new wxFlexGridSizer(2, gap);
  left_grid->AddGrowableCol(1, 1);
  AddFields(box, left_grid, left, make);
  row->Add(left_grid, 1, wxALIGN_CENTER_VERTICAL);
  auto* middle = new wxBoxSizer(wxVERTICAL);
  for (const ButtonDef& b : buttons) {
    middle->Add(MakeButton(box, b.label, b.name), 0, wxEXPAND | wxTOP | wxBOTTOM, FromDIP(3));
  }
  row->Add(middle, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, FromDIP(14));
  auto* right_grid = new wxFlexGridSizer(2, gap);
  right_grid->AddGrowableCol(1, 1);
  AddFields(box, right_grid, right, make);
  row->Add(right_grid, 1, wxALIGN_CENTER_VERTICAL);
  group->Add(row, 0, wxEXPAND | wxALL, FromDIP(6));
  top->Add(group, 0, wxEXPAND | wxALL, FromDIP(6));
}

void CToolDialog::AddFieldGroup(wxSizer* top, const char* title,
                                const std::vector<FieldDef>& fields, int columns,
                                const std::vector<ButtonDef>& buttons) {
  wxStaticBoxSizer* group = Group(title);
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(2 * columns, FromDIP(wxSize(6, 6)));
  for (int c = 0; c < columns; ++c) grid->AddGrowableCol(2 * c + 1, 1);
  AddFields(box, grid, fields, [this, box](const FieldDef& f) { return NumberEdit(box, f); });
  group->Add(grid, 0, wxEXPAND | wxALL, FromDIP(6));
  if (!buttons.empty()) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    for (const ButtonDef& b : buttons) {
      row->Add(MakeButton(box, b.label, b.name), 0, wxLEFT, FromDIP(8));
    }
    group->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(6));
  }
  top->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(6));
}

void CToolDialog::AddBatchGroup(wxSizer* top, const char* title, const char* in_label,
                                std::string* in, std::string* out,
                                const std::vector<ButtonDef>& buttons, wxCheckBox** named) {
  wxStaticBoxSizer* group = Group(title);
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(6, 6)));
  grid->AddGrowableCol(1, 1);
  AddFileRow(box, grid, in_label, "inFile", in, false, app_texts::kFilterAll);
  AddFileRow(box, grid, app_texts::kOutputFile, "outFile", out, true, app_texts::kFilterAll);
  group->Add(grid, 0, wxEXPAND | wxALL, FromDIP(6));
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  header_box_ = new wxCheckBox(box, wxID_ANY, Wx(app_texts::kWriteHeader), wxDefaultPosition,
                               wxDefaultSize, 0, wxDefaultValidator, "header");
  row->Add(header_box_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(12));
  if (named) {
    *named = new wxCheckBox(box, wxID_ANY, Wx(app_texts::kNamedLines), wxDefaultPosition,
                            wxDefaultSize, 0, wxDefaultValidator, "namedLines");
    row->Add(*named, 0, wxALIGN_CENTER_VERTICAL);
  }
  row->AddStretchSpacer();
  for (const ButtonDef& b : buttons) {
    row->Add(MakeButton(box, b.label, b.name), 0, wxLEFT, FromDIP(8));
  }
  group->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(6));
  top->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(6));
}

wxButton* CToolDialog::ButtonNamed(const char* name) { return FindControl<wxButton>(this, name); }
wxTextCtrl* CToolDialog::EditNamed(const char* name) { return FindControl<wxTextCtrl>(this, name); }

void CToolDialog::LayOutApplyDialog(const std::vector<FieldDef>& params, const char* files_title,
                                    std::string* in, std::string* out, std::function<void()> import,
                                    std::function<void()> compute,
                                    std::function<void()> transform) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddFieldGroup(
      top, app_texts::kGroupTransformParams, params, 2,
      {{app_texts::kImportParams, "import"}, {app_texts::kComputeParams, "computeParams"}});
  AddBatchGroup(top, files_title, app_texts::kSourceFile, in, out, {});

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  wxButton* transform_button = MakeButton(this, app_texts::kTransform, "transform");
  row->Add(transform_button, 0, wxRIGHT, FromDIP(6));
  row->Add(new wxButton(this, wxID_CANCEL, Wx(app_texts::kCancel)), 0);
  top->Add(row, 0, wxEXPAND | wxALL, FromDIP(8));
  transform_button->SetDefault();
  Finish(top);

  ButtonNamed("import")->Bind(wxEVT_BUTTON, [import](wxCommandEvent&) { import(); });
  ButtonNamed("computeParams")->Bind(wxEVT_BUTTON, [compute](wxCommandEvent&) { compute(); });
  transform_button->Bind(wxEVT_BUTTON, [transform](wxCommandEvent&) { transform(); });
}

void CToolDialog::EnableDirection(bool first, std::initializer_list<const char*> first_edits,
                                  std::initializer_list<const char*> second_edits) {
  ButtonNamed("forward")->Enable(first);
  ButtonNamed("batch0")->Enable(first);
  for (const char* name : first_edits) EditNamed(name)->Enable(first);
  ButtonNamed("backward")->Enable(!first);
  ButtonNamed("batch1")->Enable(!first);
  for (const char* name : second_edits) EditNamed(name)->Enable(!first);
}

BatchSettings CToolDialog::Settings() const {
  BatchSettings s;
  s.ellipsoid = ellipsoid_;
  s.inputUnit = static_cast<AngleUnit>(input_unit_);
  s.outputUnit = static_cast<AngleUnit>(output_unit_);
  s.header = header_box_ && header_box_->GetValue();
  return s;
}

void CToolDialog::AddOkCancel(wxSizer* top) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  auto* ok = new wxButton(this, wxID_OK, Wx(app_texts::kOk));
  auto* cancel = new wxButton(this, wxID_CANCEL, Wx(app_texts::kCancel));
  row->Add(ok, 0, wxRIGHT, FromDIP(6));
  row->Add(cancel, 0);
  ok->SetDefault();
  Bind(wxEVT_BUTTON, &CToolDialog::OnOk, this, wxID_OK);
  top->Add(row, 0, wxEXPAND | wxALL, FromDIP(8));
}

void CToolDialog::RefreshDescription() {
  if (description_) description_->ChangeValue(Wx(Description()));
}

void CToolDialog::Finish(wxSizer* top) {
  SetSizerAndFit(top);
  ShowFields();
  CentreOnParent();
}

void CToolDialog::OnChangeParams(wxCommandEvent&) {
  CParamDlg dialog(this, ellipsoid_, input_unit_, output_unit_);
  if (dialog.ShowModal() != wxID_OK) return;
  ellipsoid_ = dialog.ellipsoid();
  input_unit_ = dialog.input_unit();
  output_unit_ = dialog.output_unit();
  RefreshDescription();
}

bool CToolDialog::Accept() { return ReadFields(); }

void CToolDialog::EndWith(int code) {
  if (IsModal()) {
    EndModal(code);
  } else {
    // Driven without a modal loop (the window tests): the code is what
    // ShowModal would have returned.
    SetReturnCode(code);
    Hide();
  }
}

void CToolDialog::OnOk(wxCommandEvent&) {
  if (Accept()) EndWith(wxID_OK);
}

}  // namespace georeckon
