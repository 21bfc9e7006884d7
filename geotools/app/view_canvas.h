// CViewCanvas: the right-hand pane of a document window, in which its
// CGeoReckonView draws.
#pragma once

#include <wx/scrolwin.h>

namespace georeckon {

class CGeoReckonView;

// The scrolled window the view draws into (logical size 100 × 100 pixels).
class CViewCanvas : public wxScrolledWindow {
 public:
  CViewCanvas(wxWindow* parent, CGeoReckonView* view);
  void OnDraw(wxDC& dc) override;
  void Detach() { view_ = nullptr; }

 private:
  CGeoReckonView* view_;
};

}  // namespace georeckon
