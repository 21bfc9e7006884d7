// The base of a project's extra windows (3D model, data list, plan map):
// a window of its own that sets its toggle's flag while it is open and
// resets it however it is closed.
#pragma once

#include <cstdint>

#include <wx/docmdi.h>

#include "measure/app/doc_view_base.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

class CPlainDocView : public CDocViewBase {
 public:
  using Flag = int32_t CVistametDoc::*;
  CPlainDocView(Flag flag, const char* title) : flag_(flag), title_(title) {}
  ~CPlainDocView() override;
  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC*) override {}
  void OnChangeFilename() override;
  // An extra window closes alone; the document stays open.
  bool OnClose(bool) override { return true; }

 protected:
  // The window's content inside its frame (a plain white panel unless a
  // view has its own).
  virtual wxWindow* MakeContent(wxDocMDIChildFrame* frame);

 private:
  Flag flag_;          // the document's flag that says the window is open
  const char* title_;  // the window's name after the project's
};

}  // namespace vistamet
