#include "measure/views/feature_dialog.h"

#include <wx/colordlg.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure/app/range_validator.h"
#include "measure/shell/app_texts.h"
#include "measure/views/dc_sink.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

// The text of an edit as a number, false when it is none.
bool ReadNumber(const wxTextCtrl* edit, double* value) {
  return edit->GetValue().ToCDouble(value);
}

}  // namespace

CFeatureDialog::CFeatureDialog(wxWindow* parent, const MapFeature& feature,
                               const SymbolLibrary& symbols)
    : CDialogBase(parent, ui::kFeatureDialog),
      feature_(feature),
      fields_(FeatureFieldsOf(feature)),
      symbols_(symbols) {
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxBoxSizer(wxVERTICAL);
  auto* grid = new wxFlexGridSizer(3, 6, 8);
  wxSpinButton* type_spin = nullptr;
  wxSpinButton* rotation_spin = nullptr;
  type_ = NumberRow(grid, ui::kFeatureType, nullptr, &type_spin);
  type_->SetValidator(CRangeValidator(&fields_.type, 0, FeatureFields::kMaxType));
  type_spin->SetRange(0, FeatureFields::kMaxType);

  grid->Add(new wxStaticText(this, wxID_ANY, U(ui::kFeatureColour)), 0, wxALIGN_CENTER_VERTICAL);
  swatch_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(60, 22), wxBORDER_SUNKEN);
  swatch_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  grid->Add(swatch_, 0, wxEXPAND);
  grid->AddSpacer(1);

  rotation_ = NumberRow(grid, ui::kFeatureRotation, nullptr, &rotation_spin);
  rotation_->SetValidator(CRangeValidator(&fields_.degrees, 0, FeatureFields::kMaxDegrees));
  rotation_spin->SetRange(0, FeatureFields::kMaxDegrees);
  grid->Add(new wxStaticText(this, wxID_ANY, U(ui::kFeatureShift)), 0, wxALIGN_CENTER_VERTICAL);
  grid->AddSpacer(1);
  grid->AddSpacer(1);
  scale_ = NumberRow(grid, ui::kFeatureScale, nullptr, nullptr);
  scale_->SetValidator(CRangeValidator(&fields_.scale, FeatureFields::kMinScale, FeatureFields::kMaxScale));
  width_ = NumberRow(grid, ui::kFeatureLineWidth, ui::kFeatureMm, nullptr);
  width_->SetValidator(CRangeValidator(&fields_.lineWidth, 0, FeatureFields::kMaxLineWidth));
  left->Add(grid, 0, wxALL, 10);

  auto* frame = new wxStaticBoxSizer(wxVERTICAL, this, U(ui::kFeaturePreview));
  preview_ = new wxPanel(frame->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxSize(200, 150));
  preview_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  frame->Add(preview_, 1, wxEXPAND | wxALL, 4);
  left->Add(frame, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  top->Add(left, 1, wxEXPAND);

  preview_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(preview_);
    DrawPreview(dc, preview_->GetClientSize());
  });
  swatch_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(swatch_);
    dc.SetBackground(wxBrush(swatch_->GetParent()->GetBackgroundColour()));
    dc.Clear();
    wxRect r(swatch_->GetClientSize());
    r.Deflate(2);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ColourOf(fields_.colour)));
    dc.DrawRectangle(r);
  });
  swatch_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { OnSwatchClick(); });
  auto redraw = [this](wxCommandEvent&) {
    ReadFields();
    preview_->Refresh();
  };
  type_->Bind(wxEVT_TEXT, redraw);
  rotation_->Bind(wxEVT_TEXT, redraw);
  width_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
    ReadFields();
    if (fields_.lineWidth > 0) preview_->Refresh();
  });
  FinishLayout(top);
  TransferDataToWindow();
  type_spin->SetValue(fields_.type);
  rotation_spin->SetValue(fields_.degrees);
}

wxTextCtrl* CFeatureDialog::NumberRow(wxSizer* grid, const char* label, const char* unit,
                                      wxSpinButton** spin) {
  grid->Add(new wxStaticText(this, wxID_ANY, U(label)), 0, wxALIGN_CENTER_VERTICAL);
  auto* edit = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(90, -1));
  grid->Add(edit, 0, wxEXPAND);
  if (spin) {
    *spin = new wxSpinButton(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
    wxSpinButton* button = *spin;
    button->Bind(wxEVT_SPIN, [edit](wxSpinEvent& e) { edit->SetValue(wxString::Format("%d", e.GetPosition())); });
    // Typing moves the spin buttons along, so that a later click steps
    // from the typed value.
    edit->Bind(wxEVT_TEXT, [edit, button](wxCommandEvent& e) {
      long v = 0;
      if (edit->GetValue().ToLong(&v) && v >= button->GetMin() && v <= button->GetMax())
        button->SetValue(static_cast<int>(v));
      e.Skip();
    });
    grid->Add(*spin, 0, wxALIGN_CENTER_VERTICAL);
  } else if (unit) {
    grid->Add(new wxStaticText(this, wxID_ANY, U(unit)), 0, wxALIGN_CENTER_VERTICAL);
  } else {
    grid->AddSpacer(1);
  }
  return edit;
}

void CFeatureDialog::ReadFields() {
  double v = 0;
  if (ReadNumber(type_, &v) && v == static_cast<int>(v)) fields_.type = static_cast<int32_t>(v);
  if (ReadNumber(rotation_, &v) && v == static_cast<int>(v)) fields_.degrees = static_cast<int32_t>(v);
  if (ReadNumber(scale_, &v)) fields_.scale = v;
  if (ReadNumber(width_, &v)) fields_.lineWidth = v;
}

void CFeatureDialog::SetColour(uint32_t colour) {
  fields_.colour = colour;
  swatch_->Refresh();
  preview_->Refresh();
}

void CFeatureDialog::OnSwatchClick() {
  // The chooser starts from black, not from the current colour.
  wxColourData data;
  data.SetColour(*wxBLACK);
  wxColourDialog chooser(this, &data);
  if (chooser.ShowModal() != wxID_OK) return;
  const wxColour c = chooser.GetColourData().GetColour();
  SetColour(Rgb(c.Red(), c.Green(), c.Blue()));
}

void CFeatureDialog::DrawPreview(wxDC& dc, const wxSize& size) const {
  dc.SetBackground(wxBrush(wxColour(214, 211, 206)));
  dc.Clear();
  const VectorSymbol* symbol = symbols_.Drawable(fields_.type);
  if (!symbol) return;
  // A y-up sink about the frame's centre: the preview shows the symbol as
  // the map does, not mirrored.
  CDcSink sink(dc, 1.0, size.x / 2, size.y / 2);
  SymbolPlacement at;
  at.rz = fields_.degrees * 0.017453292500000002;
  at.size = PreviewSize(fields_.type, symbol->scale);
  at.lineWidth = PreviewLineWidth(fields_.lineWidth);
  at.colour = fields_.colour;
  DrawSymbol(*symbol, at, sink);
}

MapFeature CFeatureDialog::Feature() const {
  MapFeature f = feature_;
  ApplyFeatureFields(fields_, f);
  return f;
}

}  // namespace vistamet
