// CGeoReckonDocManager: the framework's document manager with GeoReckon's
// names for new documents, its Chinese file choosers, a five-entry recent
// file list and its message for a recent file that has gone.
#pragma once

#include <wx/docview.h>

namespace georeckon {

class CGeoReckonDocManager : public wxDocManager {
 public:
  CGeoReckonDocManager();

  wxString MakeNewDocumentName() override;
  wxFileHistory* OnCreateFileHistory() override;
  wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int count, wxString& path,
                                    long flags, bool save = false) override;

 protected:
  void OnMRUFileNotExist(unsigned n, const wxString& filename) override;

 private:
  int new_count_ = 0;
};

}  // namespace georeckon
