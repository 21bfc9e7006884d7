// The "新建工程" dialog: the photos of a new project, chosen with the "<<"
// button from one or several folders. A project needs at least two photos.
#pragma once

#include <string>
#include <vector>

#include "measure/app/dialog_base.h"
#include "measure/model/vistamet_doc.h"

class wxComboBox;
class wxStaticText;
class wxTextCtrl;

namespace vistamet {

// Appends `path` unless the list already names the same file (the same
// string, or another name of the same existing file). True when appended.
bool AddUniquePath(std::vector<std::string>& paths, const std::string& path);

class CNewProjectDialog : public CDialogBase {
 public:
  explicit CNewProjectDialog(wxWindow* parent);

  // The chosen photos in the order they were added (UTF-8 paths).
  const std::vector<std::string>& Paths() const { return paths_; }

  // What the "<<" button does with the files chosen in its file dialog.
  void AddPaths(const std::vector<std::string>& paths);

  wxComboBox* PhotoList() const { return list_; }
  wxTextCtrl* FocalField() const { return focal_; }
  wxTextCtrl* PixelSizeField() const { return pixel_; }
  // What the camera line shows for the selected photo.
  std::string CameraText() const;

  // The values typed in; a field left blank (0) lets each photo's EXIF
  // decide.
  NewProjectCamera Camera() const;

  bool Accept() override { return paths_.size() > 1; }

 private:
  void OnAddPhotos(wxCommandEvent& event);
  void UpdateOk();
  void ShowCamera();

  std::vector<std::string> paths_;
  wxComboBox* list_ = nullptr;
  wxStaticText* camera_ = nullptr;
  wxTextCtrl* focal_ = nullptr;
  wxTextCtrl* pixel_ = nullptr;
};

}  // namespace vistamet
