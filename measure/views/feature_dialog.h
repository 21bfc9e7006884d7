// The feature dialog ("地物"): type, colour, rotation, scale and line width
// of a map feature with a live preview of its symbol.
#pragma once

#include "measure/app/dialog_base.h"
#include "measure/model/symbol_library.h"
#include "measure/shell/feature_fields.h"

class wxPanel;
class wxSpinButton;
class wxTextCtrl;

namespace vistamet {

class CFeatureDialog : public CDialogBase {
 public:
  // Edits a copy of `feature`; `symbols` must outlive the dialog.
  CFeatureDialog(wxWindow* parent, const MapFeature& feature, const SymbolLibrary& symbols);

  // The edited copy (valid after OK).
  MapFeature Feature() const;
  const FeatureFields& Fields() const { return fields_; }
  wxTextCtrl* TypeEdit() const { return type_; }
  wxTextCtrl* RotationEdit() const { return rotation_; }
  wxTextCtrl* ScaleEdit() const { return scale_; }
  wxTextCtrl* LineWidthEdit() const { return width_; }
  wxPanel* Preview() const { return preview_; }
  wxPanel* Swatch() const { return swatch_; }
  // Sets the colour as the colour chooser's OK does.
  void SetColour(uint32_t colour);
  // Draws the preview into `dc` of `size` (the preview panel paints this).
  void DrawPreview(wxDC& dc, const wxSize& size) const;

 private:
  // Re-reads the fields that parse, for the preview.
  void ReadFields();
  wxTextCtrl* NumberRow(wxSizer* grid, const char* label, const char* unit, wxSpinButton** spin);
  void OnSwatchClick();

  MapFeature feature_;
  FeatureFields fields_;
  const SymbolLibrary& symbols_;
  wxTextCtrl* type_ = nullptr;
  wxTextCtrl* rotation_ = nullptr;
  wxTextCtrl* scale_ = nullptr;
  wxTextCtrl* width_ = nullptr;
  wxPanel* swatch_ = nullptr;
  wxPanel* preview_ = nullptr;
};

}  // namespace vistamet
