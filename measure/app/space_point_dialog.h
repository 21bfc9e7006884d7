// The "空间点" dialog: number, control flag and coordinates of the space
// point that an image point is numbered with.
#pragma once

#include "measure/app/dialog_base.h"
#include "measure/records/records.h"

class wxCheckBox;
class wxTextCtrl;
class wxStaticBoxSizer;

namespace vistamet {

class CSpacePointDialog : public CDialogBase {
 public:
  // Point numbers the dialog accepts.
  static constexpr int32_t kMinNumber = 0;
  static constexpr int32_t kMaxNumber = 10000;

  CSpacePointDialog(wxWindow* parent, const SpacePoint& record);

  // The working record; after OK it holds the edited control flag, number
  // and coordinates and, unchanged, every other field.
  const SpacePoint& Record() const { return record_; }

  wxCheckBox* ControlBox() const { return control_; }
  wxTextCtrl* NumberEdit() const { return number_; }
  wxTextCtrl* CoordEdit(int axis) const { return coord_[axis]; }
  // True while the coordinate group is shown.
  bool CoordinatesShown() const;

  bool Accept() override;

 private:
  void OnControlToggled(wxCommandEvent& event);
  void OnNumberChanged(wxCommandEvent& event);
  // When the number field holds 1000..1003: ticks the control box and fills
  // in the corner's coordinates. False for any other number.
  bool ShowReferenceCorner();
  // Shows the coordinates (editable) for a control point, hides them
  // (read-only) otherwise, and fits the dialog.
  void ApplyLayout();

  SpacePoint record_;
  int32_t number_value_ = 0;
  double xyz_[3] = {0, 0, 0};
  wxCheckBox* control_ = nullptr;
  wxTextCtrl* number_ = nullptr;
  wxTextCtrl* coord_[3] = {nullptr, nullptr, nullptr};
  wxStaticBoxSizer* coord_group_ = nullptr;
};

}  // namespace vistamet
