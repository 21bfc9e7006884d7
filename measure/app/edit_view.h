// The window of a text file: one multi-line text field over the document's
// decoded text, with the edit commands of its own menu.
#pragma once

#include <wx/docview.h>

class wxTextCtrl;

namespace vistamet {

class CEditView : public wxView {
 public:
  ~CEditView() override;
  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC* dc) override;

  wxTextCtrl* Text() const { return text_; }

 private:
  void OnEdit(wxCommandEvent& event);
  void OnUpdateEdit(wxUpdateUIEvent& event);

  wxTextCtrl* text_ = nullptr;

  wxDECLARE_DYNAMIC_CLASS(CEditView);
  wxDECLARE_EVENT_TABLE();
};

}  // namespace vistamet
