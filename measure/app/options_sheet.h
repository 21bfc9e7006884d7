// The options sheet "设置": the adjustment options, the image display
// options and the camera of the open project on three pages. Values reach
// the document only when the sheet is closed with OK and every page's
// fields are within their ranges.
#pragma once

#include <wx/panel.h>

#include "measure/app/dialog_base.h"
#include "measure/shell/options_values.h"

class wxButton;
class wxCheckBox;
class wxNotebook;
class wxStaticBoxSizer;
class wxTextCtrl;

namespace vistamet {

// Page 1, "平差设置".
class CPageAdjust : public wxPanel {
 public:
  CPageAdjust(wxWindow* parent, OptionsValues& values);

  wxCheckBox* LmsFeature() const { return lms_; }
  wxCheckBox* CleanPoints() const { return clean_; }
  wxTextCtrl* CoordTol() const { return coord_tol_; }
  wxTextCtrl* AngleTol() const { return angle_tol_; }
  wxTextCtrl* MaxIter() const { return max_iter_; }
  wxCheckBox* KeepMinRms() const { return keep_min_; }
  wxTextCtrl* ControlWeight() const { return control_weight_; }
  // The weight edits exist (and are checked on OK) but are not shown.
  wxTextCtrl* WeightX() const { return weight_x_; }
  wxTextCtrl* WeightY() const { return weight_y_; }

 private:
  wxCheckBox* lms_ = nullptr;
  wxCheckBox* clean_ = nullptr;
  wxTextCtrl* coord_tol_ = nullptr;
  wxTextCtrl* angle_tol_ = nullptr;
  wxTextCtrl* max_iter_ = nullptr;
  wxCheckBox* keep_min_ = nullptr;
  wxTextCtrl* control_weight_ = nullptr;
  wxTextCtrl* weight_x_ = nullptr;
  wxTextCtrl* weight_y_ = nullptr;
};

// Page 2, "图像设置".
class CPagePhotoSet : public wxPanel {
 public:
  CPagePhotoSet(wxWindow* parent, OptionsValues& values);

  wxCheckBox* AutoPlaneTrans() const { return auto_plane_; }
  wxCheckBox* ShowAdjusted() const { return show_adjusted_; }
  wxCheckBox* ShowDistances() const { return show_distances_; }
  wxTextCtrl* PhotoCacheEdit() const { return photo_cache_; }
  // Target extraction: refinement, rejection, weights from the fit.
  wxCheckBox* TargetRefine() const { return target_refine_; }
  wxCheckBox* TargetReject() const { return target_reject_; }
  wxCheckBox* TargetWeights() const { return target_weights_; }

 private:
  wxTextCtrl* photo_cache_ = nullptr;
  wxCheckBox* auto_plane_ = nullptr;
  wxCheckBox* show_adjusted_ = nullptr;
  wxCheckBox* show_distances_ = nullptr;
  wxCheckBox* target_refine_ = nullptr;
  wxCheckBox* target_reject_ = nullptr;
  wxCheckBox* target_weights_ = nullptr;
};

// Page 3, "相机参数", with its camera-changed flag.
class CPageCamera : public wxPanel {
 public:
  CPageCamera(wxWindow* parent, OptionsValues& values);

  enum Field { kFocal, kU0, kV0, kA1, kA2, kR0, kPixelSize, kFieldCount };
  wxTextCtrl* Edit(Field f) const { return edits_[f]; }
  wxButton* D7() const { return d7_; }
  wxButton* D75() const { return d75_; }
  bool CameraChanged() const { return values_.cameraChanged; }

  // What the D7 and D75 buttons do.
  void PresetPixelSize(double pixel_size);

 private:
  void OnEdited(wxCommandEvent& event);

  OptionsValues& values_;
  wxTextCtrl* edits_[kFieldCount] = {};
  wxButton* d7_ = nullptr;
  wxButton* d75_ = nullptr;
};

class COptionsSheet : public CDialogBase {
 public:
  COptionsSheet(wxWindow* parent, const OptionsValues& values);

  // The edited values; complete after Accept (OK).
  const OptionsValues& Values() const { return values_; }

  wxNotebook* Book() const { return book_; }
  CPageAdjust* AdjustPage() const { return adjust_; }
  CPagePhotoSet* PhotoPage() const { return photo_; }
  CPageCamera* CameraPage() const { return camera_; }
  wxTextCtrl* AutosaveMinutesEdit() const { return autosave_minutes_; }

 private:
  wxPanel* AutosavePage(wxWindow* parent, int32_t& minutes);

  OptionsValues values_;
  wxNotebook* book_ = nullptr;
  CPageAdjust* adjust_ = nullptr;
  CPagePhotoSet* photo_ = nullptr;
  CPageCamera* camera_ = nullptr;
  wxTextCtrl* autosave_minutes_ = nullptr;
};

}  // namespace vistamet
