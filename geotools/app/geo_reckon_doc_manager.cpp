#include "geotools/app/geo_reckon_doc_manager.h"

#include "geotools/app/app_texts.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/recent_files.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/texts.h"

namespace georeckon {

CGeoReckonDocManager::CGeoReckonDocManager() : wxDocManager(0, false) { Initialize(); }

wxString CGeoReckonDocManager::MakeNewDocumentName() {
  return wxString::Format("%s%d", Wx(app_texts::kUntitledBase), ++new_count_);
}

wxFileHistory* CGeoReckonDocManager::OnCreateFileHistory() { return new CRecentFiles; }

wxDocTemplate* CGeoReckonDocManager::SelectDocumentPath(wxDocTemplate** templates, int count,
                                                        wxString& path, long, bool save) {
  if (count <= 0) return nullptr;
  FileRequest request;
  request.save = save;
  request.title = save ? app_texts::kSaveAsTitle : app_texts::kOpenTitle;
  request.filter = DocumentFilter();
  if (save) request.default_extension = app_texts::kDocExtension;
  request.initial_path = Utf8(GetLastDirectory());
  if (!request.initial_path.empty()) request.initial_path += "/";
  std::string chosen;
  if (!ChooseFile(nullptr, request, &chosen)) return nullptr;
  path = Wx(chosen);
  const wxString dir = wxPathOnly(path);
  if (!dir.empty()) SetLastDirectory(dir);
  return templates[0];
}

void CGeoReckonDocManager::OnMRUFileNotExist(unsigned n, const wxString& file) {
  if (GetFileHistory()) GetFileHistory()->RemoveFileFromHistory(n);
  ShowFailure(texts::kOpenFileError, "cannot open " + Utf8(file) + ": the file no longer exists");
}

}  // namespace georeckon
