// The document manager of the measurement program: the five document
// templates, the new-project dialog in front of File, New, the recent files
// (4) and the file dialogs in the program's language.
#pragma once

#include <string>
#include <vector>

#include <wx/docview.h>

#include "measure/model/vistamet_doc.h"

class wxDocMDIParentFrame;

namespace vistamet {

enum class TemplateKind { kProject, kModel3D, kText, kDataList, kPlanMap };

// The view classes of a project's windows. The views build on this layer,
// so the program hands them in at start-up rather than this layer naming
// them.
struct ViewClasses {
  wxClassInfo* project = nullptr;   // the project window (strip and image)
  wxClassInfo* model3D = nullptr;
  wxClassInfo* dataList = nullptr;
  wxClassInfo* planMap = nullptr;
};

class CDocManager : public wxDocManager {
 public:
  static constexpr int kRecentFiles = 4;

  CDocManager();

  // Creates the five templates in their order: project, 3D model, text,
  // data list, plan map. Only the project template takes part in File, New
  // and File, Open.
  void CreateTemplates(const ViewClasses& views);
  wxDocTemplate* Template(TemplateKind kind) const;

  // The frame that holds every document window.
  void SetFrame(wxDocMDIParentFrame* frame) { frame_ = frame; }
  wxDocMDIParentFrame* Frame() const { return frame_; }

  // File, New asks for the photos first; the new document takes them.
  wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
  std::vector<std::string> TakePendingPhotos();
  // The camera values typed into the dialog with them.
  NewProjectCamera PendingCamera() const { return pending_camera_; }

  // Opens `path` in a text window, or brings forward the one that shows it.
  wxDocument* OpenTextFile(const wxString& path);

  wxString MakeNewDocumentName() override;
  wxFileHistory* OnCreateFileHistory() override;
  wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int noTemplates, wxString& path,
                                    long flags, bool save = false) override;

 private:
  wxDocTemplate* templates_[5] = {};
  wxDocMDIParentFrame* frame_ = nullptr;
  std::vector<std::string> pending_photos_;
  NewProjectCamera pending_camera_;
  int new_count_ = 1;
};

}  // namespace vistamet
