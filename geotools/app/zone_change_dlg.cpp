#include "geotools/app/zone_change_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CZoneChangeDlg::CZoneChangeDlg(wxWindow* parent, const EllipsoidParams& e)
    : CToolDialog(parent, t::kZoneTitle, e, kPackedDms, kPackedDms) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddPointGroup(top, t::kGroupSingle, {},
                {{t::kLabelX1, "x1", &x1_}, {t::kLabelY1, "y1", &y1_}, {t::kLabelH1, "h1", &h1_}},
                {{t::kCompute, "compute"}},
                {{t::kLabelX2, "x2", &x2_}, {t::kLabelY2, "y2", &y2_}, {t::kLabelH2, "h2", &h2_}});
  AddZoneGroup(top);
  AddFieldGroup(top, t::kGroupMeridian,
                {{t::kMeridian1, "L0_1", &L0_1_, true, -180, 180},
                 {t::kYConstant, "yConst", &y_const_},
                 {t::kMeridian2, "L0_2", &L0_2_, true, -180, 180}},
                2);
  AddBatchGroup(top, t::kGroupZoneBatch, t::kInputFile, &in_file_, &out_file_,
                {{t::kCompute, "batch0"}});
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("compute")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCompute(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBatch(); });
  width_list_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ApplyZoneWidth(); });
  prefix_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ApplyZoneWidth(); });
  ApplyZoneWidth();
}

void CZoneChangeDlg::AddZoneGroup(wxSizer* top) {
  wxStaticBoxSizer* zones = Group(t::kGroupZones, wxHORIZONTAL);
  wxWindow* box = zones->GetStaticBox();
  width_list_ = new wxChoice(box, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0,
                             wxDefaultValidator, "zoneWidth");
  for (const char* choice : t::kZoneWidthChoices) width_list_->Append(Wx(choice));
  width_list_->SetSelection(0);
  auto check = [box](const char* label, const char* name) {
    return new wxCheckBox(box, wxID_ANY, Wx(label), wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, name);
  };
  prefix_ = check(t::kZonePrefixBoth, "zonePrefix");
  from_prefix_ = check(t::kZone1FromPrefix, "zoneFromPoint");
  exact_ = check(t::kExactProjection, "exact");
  for (wxWindow* w : std::initializer_list<wxWindow*>{width_list_, prefix_, from_prefix_}) {
    zones->Add(w, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  }
  zones->AddStretchSpacer();
  zones->Add(exact_, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(zones, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(6));
}

std::string CZoneChangeDlg::Description() const { return ZoneChangeParamDescription(ellipsoid_); }

void CZoneChangeDlg::ApplyZoneWidth() {
  const bool zones = width_list_->GetSelection() != 0;
  prefix_->Enable(zones);
  from_prefix_->Enable(zones && prefix_->GetValue());
  // Zone 1 can come from y only when y carries its number.
  EditNamed("L0_1")->Enable(!(from_prefix_->IsEnabled() && from_prefix_->GetValue()));
}

BatchSettings CZoneChangeDlg::ZoneSettings() const {
  BatchSettings s = Settings();
  s.l0 = L0_1_;
  s.l0_2 = L0_2_;
  s.yConst = y_const_;
  s.exactProjection = exact_->GetValue();
  const int choice = width_list_->GetSelection();
  // Zones work on y with its zone number.
  if (choice != 0 && prefix_->GetValue()) {
    s.zoneWidth = choice == 1 ? 3 : 6;
    s.zonePrefix = true;
    s.zoneFromPoint = from_prefix_->GetValue();
  }
  return s;
}

void CZoneChangeDlg::OnCompute() {
  if (!ReadFields()) return;
  const BatchSettings s = ZoneSettings();
  ProjectedPoint p;
  LineFailure failure = LineFailure::kNotFiniteResult;
  ZoneChangeNotes notes;
  const bool computed = ChangeZone(s, x1_, y1_, h1_, &p, &failure, &notes);
  if (computed && s.zoneFromPoint) L0_1_ = notes.l0;
  if (notes.prefixMismatch) ShowMessage(texts::kPrefixMismatch, wxOK | wxICON_WARNING, this);
  if (!computed) {
    ShowMessage(LineFailureText(failure), wxOK | wxICON_WARNING, this);
    return;
  }
  if (notes.meridiansFarApart) {
    ShowMessage(texts::kMeridiansOver6, wxOK | wxICON_INFORMATION, this);
  }
  if (notes.outsideZone) ShowMessage(texts::kOutsideZone, wxOK | wxICON_WARNING, this);
  x2_ = RoundDecimals(p.x, 4);
  y2_ = RoundDecimals(p.y, 4);
  h2_ = RoundDecimals(p.h, 4);
  ShowFields();
}

void CZoneChangeDlg::OnBatch() {
  if (!ReadFields()) return;
  RunBatchButton(this, BatchFunction::kZoneChange, ZoneSettings(), in_file_, out_file_);
}

}  // namespace georeckon
