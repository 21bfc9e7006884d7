#include "measure/app/edit_doc.h"

#include "measure/app/edit_view.h"

#include <wx/dc.h>
#include <wx/docmdi.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "common/gui/save_modified.h"
#include "common/strformat.h"
#include "measure/shell/app_texts.h"
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
  return common::SaveModifiedDocument(*this, [this] {
    const std::string question =
        common::StrFormat(ui::kSaveChangesQuestion, Utf8(GetUserReadableName()).c_str());
    return AskYesNoCancel(GetDocumentWindow(), wxString::FromUTF8(question));
  });
}

// --- View ---

}  // namespace vistamet
