#include "measure/app/edit_document.h"

#include <wx/dc.h>
#include <wx/docmdi.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/app/app_texts.h"
#include "measure/app/doc_manager.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/icons/command_icons.h"
#include "measure/app/menus.h"

namespace vistamet {

namespace {

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }

}  // namespace

// --- Document ---

wxIMPLEMENT_DYNAMIC_CLASS(CEditDoc, wxDocument);

CEditView* CEditDoc::View() const { return dynamic_cast<CEditView*>(GetFirstView()); }

bool CEditDoc::DoOpenDocument(const wxString& file) {
  std::string bytes, error;
  if (!common::ReadWholeFile(Utf8(file), &bytes, &error)) {
    ShowMessage(GetDocumentWindow(),
                common::StrFormat(ui::kCannotOpenText, Utf8(file).c_str(), error.c_str()),
                Icon::kWarning);
    return false;
  }
  bytes_ = std::move(bytes);
  decoded_ = DecodeTextFile(bytes_);
  if (CEditView* view = View()) {
    view->Text()->ChangeValue(wxString::FromUTF8(decoded_.utf8));
    view->Text()->SetEditable(decoded_.Editable());
    view->Text()->DiscardEdits();
  }
  return true;
}

bool CEditDoc::DoSaveDocument(const wxString& file) {
  std::string out = bytes_;
  CEditView* view = View();
  if (view && view->Text()->IsModified()) {
    if (!EncodeTextFile(Utf8(view->Text()->GetValue()), decoded_, &out)) {
      ShowMessage(GetDocumentWindow(), ui::kTextNotEncodable, Icon::kWarning);
      return false;
    }
  }
  std::string error;
  if (!common::SaveFileAtomically(Utf8(file), out, &error)) {
    ShowMessage(GetDocumentWindow(), error, Icon::kError);
    return false;
  }
  bytes_ = std::move(out);
  if (view) view->Text()->DiscardEdits();
  return true;
}

bool CEditDoc::IsModified() const {
  const CEditView* view = View();
  return wxDocument::IsModified() || (view && view->Text() && view->Text()->IsModified());
}

void CEditDoc::Modify(bool modified) {
  wxDocument::Modify(modified);
  if (!modified)
    if (CEditView* view = View()) view->Text()->DiscardEdits();
}

bool CEditDoc::OnSaveModified() {
  if (!IsModified()) return true;
  const std::string question =
      common::StrFormat(ui::kSaveChangesQuestion, Utf8(GetUserReadableName()).c_str());
  switch (AskYesNoCancel(GetDocumentWindow(), wxString::FromUTF8(question))) {
    case wxNO:
      Modify(false);
      return true;
    case wxYES:
      return Save();
    default:
      return false;
  }
}

// --- View ---

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
