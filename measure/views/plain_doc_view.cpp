#include "measure/views/plain_doc_view.h"

#include <wx/panel.h>

#include "measure/shell/app_texts.h"
#include "measure/app/doc_manager.h"
#include "measure/app/icons/command_icons.h"
#include "measure/app/project_document.h"

namespace vistamet {

CPlainDocView::~CPlainDocView() {
  if (CProjectDocument* doc = ProjectDoc()) doc->Core().*flag_ = 0;
}

bool CPlainDocView::OnCreate(wxDocument* doc, long) {
  auto* manager = dynamic_cast<CDocManager*>(doc->GetDocumentManager());
  if (!manager || !manager->Frame()) return false;
  auto* frame = new wxDocMDIChildFrame(doc, this, manager->Frame(), wxID_ANY, wxEmptyString,
                                       wxDefaultPosition, wxSize(640, 480));
  frame->SetIcons(AppIcons());
  SetFrame(frame);
  MakeContent(frame);
  OnChangeFilename();
  ProjectDoc()->Core().*flag_ = 1;
  frame->Show(true);
  Activate(true);
  return true;
}

wxWindow* CPlainDocView::MakeContent(wxDocMDIChildFrame* frame) {
  auto* panel = new wxPanel(frame);
  panel->SetBackgroundColour(*wxWHITE);
  return panel;
}

void CPlainDocView::OnChangeFilename() {
  if (wxWindow* frame = GetFrame())
    frame->SetLabel(GetDocument()->GetUserReadableName() + " - " + wxString::FromUTF8(title_));
}

}  // namespace vistamet
