// The "Offset" dialog: the shift added to every space point, mm.
#pragma once

#include "measure/app/dialog_base.h"

class wxTextCtrl;

namespace vistamet {

class COffsetDialog : public CDialogBase {
 public:
  static constexpr double kLimit = 100000000.0;  // mm, either sign

  explicit COffsetDialog(wxWindow* parent);

  double X() const { return xyz_[0]; }
  double Y() const { return xyz_[1]; }
  double Z() const { return xyz_[2]; }
  wxTextCtrl* Edit(int axis) const { return edits_[axis]; }

 private:
  double xyz_[3] = {0, 0, 0};
  wxTextCtrl* edits_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace vistamet
