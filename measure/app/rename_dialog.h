// The "空间点更名" dialog: the new number of a space point.
#pragma once

#include "measure/app/dialog_base.h"

class wxTextCtrl;

namespace vistamet {

class CRenameDialog : public CDialogBase {
 public:
  static constexpr int32_t kMinNumber = 0;
  static constexpr int32_t kMaxNumber = 30000;

  CRenameDialog(wxWindow* parent, int32_t old_number);

  int32_t NewNumber() const { return new_number_; }
  wxTextCtrl* OldEdit() const { return old_; }
  wxTextCtrl* NewEdit() const { return new_; }

 private:
  int32_t old_number_ = 0;
  int32_t new_number_ = 0;
  wxTextCtrl* old_ = nullptr;
  wxTextCtrl* new_ = nullptr;
};

}  // namespace vistamet
