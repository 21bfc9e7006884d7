#include "geotools/app/gauss_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <cmath>

#include "geotools/app/app_texts.h"
#include "geotools/app/batch_runner.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/gauss_exact.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

namespace {

const char kMeridianKey[] = "/GaussDialog/CentralMeridian";
const char kWidthKey[] = "/GaussDialog/ZoneWidth";

}  // namespace

CGaussDlg::CGaussDlg(wxWindow* parent, const EllipsoidParams& e, int32_t input_unit,
                     int32_t output_unit)
    : CToolDialog(parent, t::kGaussTitle, e, input_unit, output_unit) {
  long width = 0;
  if (wxConfigBase* config = wxConfigBase::Get()) {
    double remembered = 0;
    if (config->Read(kMeridianKey, &remembered) && std::isfinite(remembered) &&
        remembered >= -180 && remembered <= 180) {
      L0_ = remembered;
    }
    config->Read(kWidthKey, &width);
    if (!IsZoneWidth(static_cast<int>(width))) width = 0;
  }
  if (width != 0) zone_ = ZoneNumber(L0_, static_cast<int>(width));

  auto* top = new wxBoxSizer(wxVERTICAL);
  AddParamsGroup(top);
  AddTypeGroup(top, t::kGaussType0, t::kGaussType1, &projection_, [this] { ApplyType(); });
  AddPointGroup(
      top, t::kGroupSingle, {},
      {{t::kLabelB, "B", &B_, true, -90, 90},
       {t::kLabelL, "L", &L_, true, -180, 180},
       {t::kLabelH, "H", &H_}},
      {{t::kForward, "forward"}, {t::kBackward, "backward"}},
      {{t::kLabelSmallX, "x", &x_}, {t::kLabelSmallY, "y", &y_}, {t::kLabelSmallH, "h", &h_}});

  wxStaticBoxSizer* zones = Group(t::kGroupZones, wxHORIZONTAL);
  wxWindow* zbox = zones->GetStaticBox();
  width_list_ = new wxChoice(zbox, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0,
                             wxDefaultValidator, "zoneWidth");
  for (const char* choice : t::kZoneWidthChoices) width_list_->Append(Wx(choice));
  width_list_->SetSelection(width == 3 ? 1 : width == 6 ? 2 : 0);
  from_point_ = new wxCheckBox(zbox, wxID_ANY, Wx(t::kZoneFromPoint), wxDefaultPosition,
                               wxDefaultSize, 0, wxDefaultValidator, "zoneFromPoint");
  prefix_ = new wxCheckBox(zbox, wxID_ANY, Wx(t::kZonePrefix), wxDefaultPosition, wxDefaultSize,
                           0, wxDefaultValidator, "zonePrefix");
  zones->Add(width_list_, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  zones->Add(from_point_, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  zones->Add(prefix_, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  exact_ = new wxCheckBox(zbox, wxID_ANY, Wx(t::kExactProjection), wxDefaultPosition,
                          wxDefaultSize, 0, wxDefaultValidator, "exact");
  zones->AddStretchSpacer();
  zones->Add(exact_, 0, wxALIGN_CENTER_VERTICAL | wxALL, FromDIP(6));
  top->Add(zones, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(6));

  AddFieldGroup(top, t::kGroupMeridian,
                {{t::kMeridian, "L0", &L0_, true, -180, 180},
                 {t::kYConstant, "yConst", &y_const_},
                 {t::kZoneNumber, "zone", &zone_, true, 1, 120}},
                2, {{t::kMeridianFromZone, "zoneMeridian"}});
  AddBatchGroup(top, t::kGroupBatchNamed3, t::kInputFile, &in_file_, &out_file_,
                {{t::kGaussType0, "batch0"}, {t::kGaussType1, "batch1"}});
  AddOkCancel(top);
  Finish(top);

  ButtonNamed("forward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnForward(); });
  ButtonNamed("backward")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInverse(); });
  ButtonNamed("zoneMeridian")->Bind(wxEVT_BUTTON,
                                    [this](wxCommandEvent&) { OnMeridianFromZone(); });
  ButtonNamed("batch0")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kGaussForward); });
  ButtonNamed("batch1")->Bind(wxEVT_BUTTON,
                              [this](wxCommandEvent&) { OnBatch(BatchFunction::kGaussInverse); });
  width_list_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ApplyZoneWidth(); });
  ApplyType();
  ApplyZoneWidth();
}

CGaussDlg::~CGaussDlg() { SaveSettings(); }

std::string CGaussDlg::Description() const {
  return DialogParamDescription(ellipsoid_, input_unit_, output_unit_);
}

int CGaussDlg::ZoneWidth() const {
  switch (width_list_->GetSelection()) {
    case 1:
      return 3;
    case 2:
      return 6;
    default:
      return 0;
  }
}

void CGaussDlg::SaveSettings() {
  wxConfigBase* config = wxConfigBase::Get();
  if (!config) return;
  double L0 = 0;
  if (ParseEntryNumber(std::string(EditNamed("L0")->GetValue().utf8_str()), &L0) &&
      L0 >= -180 && L0 <= 180) {
    config->Write(kMeridianKey, L0);
  }
  config->Write(kWidthKey, static_cast<long>(ZoneWidth()));
}

void CGaussDlg::ApplyType() {
  EnableDirection(projection_ == Projection::kForward, {"B", "L", "H"}, {"x", "y", "h"});
}

void CGaussDlg::ApplyZoneWidth() {
  const bool zones = ZoneWidth() != 0;
  from_point_->Enable(zones);
  prefix_->Enable(zones);
  EditNamed("zone")->Enable(zones);
  ButtonNamed("zoneMeridian")->Enable(zones);
  SaveSettings();
}

void CGaussDlg::OnMeridianFromZone() {
  if (!ReadFields()) return;
  const int width = ZoneWidth();
  if (width == 0) return;
  const int zone = static_cast<int>(std::lround(zone_));
  zone_ = zone > ZoneCount(width) ? ZoneCount(width) : zone;
  L0_ = ZoneMeridian(static_cast<int>(zone_), width);
  ShowFields();
  SaveSettings();
}

void CGaussDlg::OnForward() {
  if (!ReadFields()) return;
  const AngleUnit unit = static_cast<AngleUnit>(input_unit_);
  const double L_deg = ConvertAngle(L_, unit, kDegree);
  const int width = ZoneWidth();
  double y_const = y_const_;
  if (width == 0) {
    if (LongitudeFarFromMeridian(L_deg, L0_)) {
      ShowMessage(texts::kLongitudeOver3, wxOK | wxICON_WARNING, this);
    }
  } else {
    if (from_point_->GetValue()) {
      zone_ = ZoneNumber(L_deg, width);
      L0_ = ZoneMeridian(static_cast<int>(zone_), width);
    } else {
      zone_ = ZoneNumber(L0_, width);
    }
    if (OutsideZone(L_deg, L0_, width)) {
      ShowMessage(texts::kOutsideZone, wxOK | wxICON_WARNING, this);
    }
    if (prefix_->GetValue()) y_const += zone_ * kZonePrefixUnit;
  }
  const double L0 = width == 0 ? L0_ : L_deg - MeridianOffset(L_deg, L0_);
  ProjectedPoint p;
  if (!exact_->GetValue()) {
    p = GaussForward(B_, L_, H_, unit, L0, y_const, &ellipsoid_);
  } else if (!GaussForwardExact(B_, L_, H_, unit, L0, y_const, &ellipsoid_, &p)) {
    ShowMessage(texts::kNotFiniteResult, wxOK | wxICON_WARNING, this);
    return;
  }
  x_ = RoundDecimals(p.x, 4);
  y_ = RoundDecimals(p.y, 4);
  h_ = RoundDecimals(p.h, 4);
  ShowFields();
  SaveSettings();
}

void CGaussDlg::OnInverse() {
  if (!ReadFields()) return;
  const int width = ZoneWidth();
  double y_const = y_const_;
  if (width != 0 && prefix_->GetValue()) {
    const int zone = ZonePrefixOf(y_, y_const_);
    const bool valid = zone >= 1 && zone <= ZoneCount(width);
    if (from_point_->GetValue()) {
      if (!valid) {
        ShowMessage(texts::kNoZonePrefix, wxOK | wxICON_WARNING, this);
        return;
      }
      zone_ = zone;
      L0_ = ZoneMeridian(zone, width);
    } else if (zone != ZoneNumber(L0_, width)) {
      ShowMessage(texts::kPrefixMismatch, wxOK | wxICON_WARNING, this);
    }
    if (zone > 0) y_const += zone * kZonePrefixUnit;
  }
  const AngleUnit unit = static_cast<AngleUnit>(output_unit_);
  GeodeticPoint g;
  if (!exact_->GetValue()) {
    g = GaussInverse(x_, y_, h_, unit, L0_, y_const, &ellipsoid_);
  } else if (!GaussInverseExact(x_, y_, h_, unit, L0_, y_const, &ellipsoid_, &g)) {
    ShowMessage(texts::kNotFiniteResult, wxOK | wxICON_WARNING, this);
    return;
  }
  if (width != 0 && OutsideZone(ConvertAngle(g.L, unit, kDegree), L0_, width)) {
    ShowMessage(texts::kOutsideZone, wxOK | wxICON_WARNING, this);
  }
  B_ = RoundDecimals(g.B, 10);
  L_ = RoundDecimals(g.L, 10);
  H_ = RoundDecimals(g.H, 4);
  ShowFields();
  SaveSettings();
}

void CGaussDlg::OnBatch(BatchFunction function) {
  if (!ReadFields()) return;
  BatchSettings s = Settings();
  s.l0 = L0_;
  s.yConst = y_const_;
  s.exactProjection = exact_->GetValue();
  const int width = ZoneWidth();
  // The inverse works in zones only when y carries the zone number.
  if (width != 0 && (function == BatchFunction::kGaussForward || prefix_->GetValue())) {
    s.zoneWidth = width;
    s.zoneFromPoint = from_point_->GetValue();
    s.zonePrefix = prefix_->GetValue();
  }
  SaveSettings();
  RunBatchButton(this, function, s, in_file_, out_file_);
}

}  // namespace georeckon
