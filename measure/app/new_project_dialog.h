// The "新建工程" dialog: the photos of a new project, chosen with the "<<"
// button from one or several folders. A project needs at least two photos.
#pragma once

#include <string>
#include <vector>

#include "measure/app/dialog_base.h"

class wxComboBox;

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

  bool Accept() override { return paths_.size() > 1; }

 private:
  void OnAddPhotos(wxCommandEvent& event);
  void UpdateOk();

  std::vector<std::string> paths_;
  wxComboBox* list_ = nullptr;
};

}  // namespace vistamet
