#include "measure/app/edit_view.h"

#include "measure/app/edit_doc.h"

#include <wx/dc.h>
#include <wx/docmdi.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/shell/app_texts.h"
#include "measure/app/doc_manager.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/icons/command_icons.h"
#include "measure/app/menus.h"

namespace vistamet {

wxIMPLEMENT_DYNAMIC_CLASS(CEditView, wxView);

wxBEGIN_EVENT_TABLE(CEditView, wxView)
  EVT_MENU(wxID_UNDO, CEditView::OnEdit)
  EVT_MENU(wxID_CUT, CEditView::OnEdit)
  EVT_MENU(wxID_COPY, CEditView::OnEdit)
  EVT_MENU(wxID_PASTE, CEditView::OnEdit)
  EVT_UPDATE_UI(wxID_UNDO, CEditView::OnUpdateEdit)
  EVT_UPDATE_UI(wxID_CUT, CEditView::OnUpdateEdit)
  EVT_UPDATE_UI(wxID_COPY, CEditView::OnUpdateEdit)
  EVT_UPDATE_UI(wxID_PASTE, CEditView::OnUpdateEdit)
wxEND_EVENT_TABLE()

bool CEditView::OnCreate(wxDocument* doc, long) {
  auto* manager = dynamic_cast<CDocManager*>(doc->GetDocumentManager());
  if (!manager || !manager->Frame()) return false;
  auto* frame = new wxDocMDIChildFrame(doc, this, manager->Frame(), wxID_ANY,
                                       doc->GetUserReadableName(), wxDefaultPosition,
                                       wxSize(640, 480));
  frame->SetIcons(AppIcons());
  frame->SetMenuBar(CreateTextMenuBar(manager->GetFileHistory()));
  text_ = new wxTextCtrl(frame, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                         wxTE_MULTILINE | wxTE_DONTWRAP | wxHSCROLL);
  text_->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
  SetFrame(frame);
  frame->Show(true);
  Activate(true);
  return true;
}

void CEditView::OnDraw(wxDC* dc) {
  // Printing: the text, line by line.
  if (!dc || !text_) return;
  dc->SetFont(text_->GetFont());
  dc->DrawText(text_->GetValue(), 0, 0);
}

CEditView::~CEditView() {
  // The window's recent-file menu goes with it.
  if (wxFileHistory* history = GetDocumentManager() ? GetDocumentManager()->GetFileHistory()
                                                     : nullptr)
    if (auto* frame = dynamic_cast<wxFrame*>(GetFrame()))
      if (wxMenu* recent = RecentFilesMenu(frame->GetMenuBar())) history->RemoveMenu(recent);
}

void CEditView::OnEdit(wxCommandEvent& event) {
  switch (event.GetId()) {
    case wxID_UNDO: text_->Undo(); break;
    case wxID_CUT: text_->Cut(); break;
    case wxID_COPY: text_->Copy(); break;
    case wxID_PASTE: text_->Paste(); break;
    default: break;
  }
}

void CEditView::OnUpdateEdit(wxUpdateUIEvent& event) {
  switch (event.GetId()) {
    case wxID_UNDO: event.Enable(text_->CanUndo()); break;
    case wxID_CUT: event.Enable(text_->CanCut()); break;
    case wxID_COPY: event.Enable(text_->CanCopy()); break;
    case wxID_PASTE: event.Enable(text_->CanPaste()); break;
    default: break;
  }
}

}  // namespace vistamet
