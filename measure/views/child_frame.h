// The project window's frame: a splitter with the thumbnail strip on the
// left and the image view on the right.
#pragma once

#include <wx/docmdi.h>

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

}  // namespace vistamet
