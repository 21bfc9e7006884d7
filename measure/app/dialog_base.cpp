#include "measure/app/dialog_base.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/validate.h>

#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

template <typename Fn>
bool ForTree(wxWindow* w, Fn fn) {
  for (wxWindow* child : w->GetChildren()) {
    if (child->IsTopLevel()) continue;  // another dialog is none of our business
    if (wxValidator* v = child->GetValidator())
      if (!fn(v, w)) return false;
    if (!ForTree(child, fn)) return false;
  }
  return true;
}

}  // namespace

bool ValidateTree(wxWindow* w) {
  return ForTree(w, [](wxValidator* v, wxWindow* parent) { return v->Validate(parent); });
}

bool TransferTreeToWindow(wxWindow* w) {
  return ForTree(w, [](wxValidator* v, wxWindow*) { return v->TransferToWindow(); });
}

bool TransferTreeFromWindow(wxWindow* w) {
  return ForTree(w, [](wxValidator* v, wxWindow*) { return v->TransferFromWindow(); });
}

CDialogBase::CDialogBase(wxWindow* parent, const std::string& title)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(title)) {
  Bind(wxEVT_BUTTON, &CDialogBase::OnOk, this, wxID_OK);
}

bool CDialogBase::Validate() { return ValidateTree(this); }
bool CDialogBase::TransferDataToWindow() { return TransferTreeToWindow(this); }
bool CDialogBase::TransferDataFromWindow() { return TransferTreeFromWindow(this); }

bool CDialogBase::Accept() { return Validate() && TransferDataFromWindow(); }

void CDialogBase::OnOk(wxCommandEvent&) {
  if (Accept()) EndModal(wxID_OK);
}

void CDialogBase::FinishLayout(wxSizer* top) {
  auto* buttons = new wxStdDialogButtonSizer();
  ok_ = new wxButton(this, wxID_OK, wxString::FromUTF8(ui::kOk));
  ok_->SetDefault();
  buttons->AddButton(ok_);
  buttons->AddButton(new wxButton(this, wxID_CANCEL, wxString::FromUTF8(ui::kCancel)));
  buttons->Realize();
  top->Add(buttons, 0, wxALL | wxEXPAND, 10);
  SetSizerAndFit(top);
  CentreOnParent();
}

}  // namespace vistamet
