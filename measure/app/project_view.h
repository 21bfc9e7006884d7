// The project window: a splitter with the thumbnail strip on the left and
// the image view on the right, and the commands that belong to the image
// view (zoom, the interaction modes, clearing numbers, sweeping).
#pragma once

#include <wx/docmdi.h>

#include "measure/app/doc_view_base.h"

class wxSplitterWindow;

namespace vistamet {

class CImageCanvas;
class CPhotoMinView;

class CChildFrame : public wxDocMDIChildFrame {
 public:
  CChildFrame(wxDocument* doc, wxView* view, wxMDIParentFrame* parent);

  wxSplitterWindow* Splitter() const { return splitter_; }
  CPhotoMinView* Strip() const { return strip_; }
  CImageCanvas* Canvas() const { return canvas_; }

 private:
  wxSplitterWindow* splitter_ = nullptr;
  CPhotoMinView* strip_ = nullptr;
  CImageCanvas* canvas_ = nullptr;
};

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
