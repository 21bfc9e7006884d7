#include "geotools/app/param_dlg.h"

#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/angle_unit.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace {

const char* const kTypeNames[5] = {"custom", "wgs84", "beijing54", "xian80", "cgcs2000"};

wxChoice* UnitList(wxWindow* parent, const char* name, int32_t unit) {
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0,
                            wxDefaultValidator, name);
  for (const char* unit_name : texts::kAngleUnitNames) list->Append(Wx(unit_name));
  list->SetSelection(IsAngleUnit(unit) ? unit : kPackedDms);
  return list;
}

}  // namespace

CParamDlg::CParamDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                     int32_t output_unit)
    : CToolDialog(parent, app_texts::kParamTitle),
      record_(e),
      input_(input_unit),
      output_(output_unit),
      a_(e.a),
      inverse_flattening_(InverseFlattening(e)),
      type_(e.type >= kCustomEllipsoid && e.type <= kCgcs2000 ? static_cast<EllipsoidType>(e.type)
                                                           : kCustomEllipsoid) {
  auto* top = new wxBoxSizer(wxVERTICAL);

  wxStaticBoxSizer* types = Group(app_texts::kGroupEllipsoidType, wxHORIZONTAL);
  for (EllipsoidType t : {kCustomEllipsoid, kWgs84, kBeijing54, kXian80, kCgcs2000}) {
    wxRadioButton* radio = MakeRadio(types->GetStaticBox(), texts::kEllipsoidChoices[t],
                                     kTypeNames[t], t == kCustomEllipsoid);
    radio->SetValue(t == type_);
    radio->Bind(wxEVT_RADIOBUTTON, [this, t](wxCommandEvent&) { OnType(t); });
    types->Add(radio, 0, wxALL, FromDIP(6));
  }
  top->Add(types, 0, wxEXPAND | wxALL, FromDIP(6));

  wxStaticBoxSizer* axes = Group(app_texts::kGroupEllipsoid);
  wxWindow* box = axes->GetStaticBox();
  auto* grid = new wxFlexGridSizer(3, FromDIP(wxSize(6, 6)));
  grid->AddGrowableCol(2, 1);
  a_edit_ = NumberEdit(box, "a", &a_, kMinSemiMajorAxis, kMaxSemiMajorAxis);
  f_edit_ = NumberEdit(box, "inverseFlattening", &inverse_flattening_, kMinInverseFlattening,
                       kMaxInverseFlattening);
  grid->Add(new wxStaticText(box, wxID_ANY, Wx(app_texts::kSemiMajorLabel)), 0,
            wxALIGN_CENTER_VERTICAL);
  grid->AddSpacer(0);
  auto* a_row = new wxBoxSizer(wxHORIZONTAL);
  a_row->Add(a_edit_, 1, wxALIGN_CENTER_VERTICAL);
  a_row->Add(new wxStaticText(box, wxID_ANY, Wx(app_texts::kSemiMajorUnit)), 0,
             wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(4));
  grid->Add(a_row, 1, wxEXPAND);
  grid->Add(new wxStaticText(box, wxID_ANY, Wx(app_texts::kFlatteningLabel)), 0,
            wxALIGN_CENTER_VERTICAL);
  grid->Add(new wxStaticText(box, wxID_ANY, Wx(app_texts::kFlatteningPrefix)), 0,
            wxALIGN_CENTER_VERTICAL);
  grid->Add(f_edit_, 1, wxEXPAND);
  axes->Add(grid, 1, wxEXPAND | wxALL, FromDIP(6));
  top->Add(axes, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(6));

  wxStaticBoxSizer* units = Group(app_texts::kGroupAngleUnits, wxHORIZONTAL);
  wxWindow* ubox = units->GetStaticBox();
  input_list_ = UnitList(ubox, "inputUnit", input_);
  output_list_ = UnitList(ubox, "outputUnit", output_);
  units->Add(new wxStaticText(ubox, wxID_ANY, Wx(app_texts::kInputUnit)), 0,
             wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  units->Add(input_list_, 1, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  units->Add(new wxStaticText(ubox, wxID_ANY, Wx(app_texts::kOutputUnit)), 0,
             wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  units->Add(output_list_, 1, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(units, 0, wxEXPAND | wxALL, FromDIP(6));

  AddOkCancel(top);
  Finish(top);
  a_edit_->Enable(type_ == kCustomEllipsoid);
  f_edit_->Enable(type_ == kCustomEllipsoid);
}

void CParamDlg::OnType(EllipsoidType type) {
  type_ = type;
  const bool custom = type == kCustomEllipsoid;
  if (!custom && PresetEllipsoid(type, &record_)) {
    a_ = record_.a;
    inverse_flattening_ = InverseFlattening(record_);
    a_edit_->ChangeValue(Wx(FormatEntryNumber(a_)));
    f_edit_->ChangeValue(Wx(FormatEntryNumber(inverse_flattening_)));
  }
  a_edit_->Enable(custom);
  f_edit_->Enable(custom);
}

bool CParamDlg::Accept() {
  if (!ReadFields()) return false;
  if (type_ == kCustomEllipsoid) record_ = CustomEllipsoid(a_, inverse_flattening_);
  input_ = input_list_->GetSelection();
  output_ = output_list_->GetSelection();
  return true;
}

}  // namespace georeckon
