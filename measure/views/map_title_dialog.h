// The plan map's title dialog ("平面图设置"): the title and whether the time
// of painting follows it.
#pragma once

#include <cstdint>
#include <string>

#include "measure/app/dialog_base.h"

class wxCheckBox;
class wxTextCtrl;

namespace vistamet {

class CMapTitleDialog : public CDialogBase {
 public:
  CMapTitleDialog(wxWindow* parent, const std::string& title, int32_t show_time);

  bool TransferDataFromWindow() override;
  std::string Title() const { return title_; }
  int32_t ShowTime() const { return show_time_; }
  wxTextCtrl* TitleEdit() const { return edit_; }
  wxCheckBox* TimeCheck() const { return check_; }

 private:
  std::string title_;
  int32_t show_time_;
  wxTextCtrl* edit_ = nullptr;
  wxCheckBox* check_ = nullptr;
};

}  // namespace vistamet
