// The project window's view: the thumbnail strip and the image view in one
// frame, and the commands that belong to the image view (zoom, the
// interaction modes, clearing numbers, sweeping).
#pragma once

#include <wx/docmdi.h>

#include "measure/app/doc_view_base.h"

namespace vistamet {

class CChildFrame;
class CImageCanvas;
class CPhotoMinView;

class CVistametView : public CDocViewBase {
 public:
  static constexpr int kInitialPane = 200;  // pixels

  ViewKind Kind() const override { return ViewKind::kProject; }

  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC* dc) override;
  void OnUpdate(wxView* sender, wxObject* hint) override;
  bool OnClose(bool delete_window) override;

  CChildFrame* Frame() const { return frame_; }
  CImageCanvas* Canvas() const;
  CPhotoMinView* Strip() const;

 private:
  void OnZoom(wxCommandEvent& event);
  void OnUpdateAlways(wxUpdateUIEvent& event);
  void OnMode(wxCommandEvent& event);
  void OnUpdateMode(wxUpdateUIEvent& event);
  void OnClearAllNumbers(wxCommandEvent& event);
  void OnSweepCurrent(wxCommandEvent& event);
  void OnUpdateNoExtraction(wxUpdateUIEvent& event);
  void OnOpenText(wxCommandEvent& event);

  CChildFrame* frame_ = nullptr;

  wxDECLARE_DYNAMIC_CLASS(CVistametView);
  wxDECLARE_EVENT_TABLE();
};

}  // namespace vistamet
