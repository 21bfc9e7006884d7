#include "measure/app/doc_manager.h"

#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/filename.h>

#include "measure/shell/app_texts.h"
#include "measure/app/edit_doc.h"
#include "measure/app/edit_view.h"
#include "measure/app/new_project_dialog.h"
#include "measure/app/project_document.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

CDocManager::CDocManager() : wxDocManager(0, false) {
  // Here, not in the base constructor, so that our file history (4 entries)
  // is the one created.
  Initialize();
}

void CDocManager::CreateTemplates(const ViewClasses& views) {
  const wxString filter = U(ui::kDocFilter);
  const wxString ext = U(ui::kDocExtension);
  templates_[0] = new wxDocTemplate(this, U(ui::kDocFilterName), filter, wxEmptyString, ext,
                                    U(ui::kDocTypeName), U(ui::kDocTypeLabel),
                                    CLASSINFO(CProjectDocument), views.project);
  templates_[1] = new wxDocTemplate(this, wxEmptyString, wxEmptyString, wxEmptyString,
                                    wxEmptyString, U(ui::kDocTypeName), wxEmptyString,
                                    CLASSINFO(CProjectDocument), views.model3D,
                                    wxTEMPLATE_INVISIBLE);
  templates_[2] = new wxDocTemplate(this, wxEmptyString, wxEmptyString, wxEmptyString,
                                    wxEmptyString, U(ui::kTextDocTypeName), wxEmptyString,
                                    CLASSINFO(CEditDoc), CLASSINFO(CEditView),
                                    wxTEMPLATE_INVISIBLE);
  templates_[3] = new wxDocTemplate(this, wxEmptyString, wxEmptyString, wxEmptyString,
                                    wxEmptyString, U(ui::kDocTypeName), wxEmptyString,
                                    CLASSINFO(CProjectDocument), views.dataList,
                                    wxTEMPLATE_INVISIBLE);
  templates_[4] = new wxDocTemplate(this, wxEmptyString, wxEmptyString, wxEmptyString,
                                    wxEmptyString, U(ui::kDocTypeName), wxEmptyString,
                                    CLASSINFO(CProjectDocument), views.planMap,
                                    wxTEMPLATE_INVISIBLE);
}

wxDocTemplate* CDocManager::Template(TemplateKind kind) const {
  return templates_[static_cast<int>(kind)];
}

wxDocument* CDocManager::CreateDocument(const wxString& path, long flags) {
  if (flags & wxDOC_NEW) {
    CNewProjectDialog dialog(frame_);
    if (dialog.ShowModal() != wxID_OK) return nullptr;
    pending_photos_ = dialog.Paths();
    pending_camera_ = dialog.Camera();
  }
  wxDocument* doc = wxDocManager::CreateDocument(path, flags);
  pending_photos_.clear();
  pending_camera_ = {};
  return doc;
}

std::vector<std::string> CDocManager::TakePendingPhotos() {
  std::vector<std::string> photos;
  photos.swap(pending_photos_);
  return photos;
}

wxDocument* CDocManager::OpenTextFile(const wxString& path) {
  const wxFileName name(path);
  for (wxDocument* doc : GetDocumentsVector()) {
    if (dynamic_cast<CEditDoc*>(doc) && name == wxFileName(doc->GetFilename())) {
      if (wxView* view = doc->GetFirstView()) {
        ActivateView(view);
        if (auto* frame = dynamic_cast<wxDocMDIChildFrame*>(view->GetFrame())) frame->Activate();
      }
      return doc;
    }
  }
  wxDocTemplate* tmpl = Template(TemplateKind::kText);
  wxDocument* doc = tmpl->CreateDocument(path, wxDOC_SILENT);
  if (!doc) return nullptr;
  doc->SetDocumentName(tmpl->GetDocumentName());
  doc->SetDocumentTemplate(tmpl);
  if (!doc->OnOpenDocument(path)) {
    doc->DeleteAllViews();  // deletes the document with its last view
    return nullptr;
  }
  return doc;
}

wxString CDocManager::MakeNewDocumentName() {
  return wxString::Format("%s%d", U(ui::kDocBaseName), new_count_++);
}

wxFileHistory* CDocManager::OnCreateFileHistory() { return new wxFileHistory(kRecentFiles); }

wxDocTemplate* CDocManager::SelectDocumentPath(wxDocTemplate** templates, int noTemplates,
                                               wxString& path, long, bool) {
  if (noTemplates < 1) return nullptr;
  wxDocTemplate* project = templates[0];
  const wxString filter = wxString::Format("%s (%s)|%s", project->GetDescription(),
                                           project->GetFileFilter(), project->GetFileFilter());
  wxFileDialog dialog(frame_, U(ui::kOpenTitle), GetLastDirectory(), wxEmptyString, filter,
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) {
    path.clear();
    return nullptr;
  }
  path = dialog.GetPath();
  SetLastDirectory(wxPathOnly(path));
  return project;
}

}  // namespace vistamet
