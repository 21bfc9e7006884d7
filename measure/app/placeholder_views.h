// The extra windows of a project: 3D model, data list and plan map. For now
// each is an empty window of its kind; it resets its toggle's flag however
// it is closed.
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

 private:
  Flag flag_;          // the document's flag that says the window is open
  const char* title_;  // the window's name after the project's
};

class COGLView : public CPlainDocView {
 public:
  COGLView();
  ViewKind Kind() const override { return ViewKind::kModel3D; }


 private:
  wxDECLARE_DYNAMIC_CLASS(COGLView);
};

class CPhotoListView : public CPlainDocView {
 public:
  CPhotoListView();
  ViewKind Kind() const override { return ViewKind::kDataList; }


 private:
  wxDECLARE_DYNAMIC_CLASS(CPhotoListView);
};

class CPhotoMapView : public CPlainDocView {
 public:
  CPhotoMapView();
  ViewKind Kind() const override { return ViewKind::kPlanMap; }


 private:
  wxDECLARE_DYNAMIC_CLASS(CPhotoMapView);
};

}  // namespace vistamet
