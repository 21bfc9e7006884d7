#include "measure/app/doc_view_base.h"

#include <wx/docmdi.h>

#include "measure/app/project_document.h"

namespace vistamet {

CProjectDocument* CDocViewBase::ProjectDoc() const {
  return dynamic_cast<CProjectDocument*>(GetDocument());
}

void CDocViewBase::BringToFront() {
  if (auto* child = dynamic_cast<wxMDIChildFrame*>(GetFrame())) child->Activate();
  else if (wxWindow* frame = GetFrame()) frame->Raise();
  Activate(true);
}

}  // namespace vistamet
