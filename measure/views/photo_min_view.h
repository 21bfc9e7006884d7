// The left pane of a project window: every photo as a thumbnail in a
// vertical strip, labelled "Image:n", with the part of the current photo
// that the image view shows framed. A double click makes a photo current.
#pragma once

#include <vector>

#include <wx/bitmap.h>
#include <wx/scrolwin.h>

#include "measure/views/photo_bitmaps.h"

namespace vistamet {

class CProjectDocument;

class CPhotoMinView : public wxScrolledCanvas {
 public:
  static constexpr int kTopMargin = 20;
  static constexpr int kGap = 20;

  CPhotoMinView(wxWindow* parent, CProjectDocument* doc);

  // The thumbnail rectangles of the last layout (canvas coordinates).
  const std::vector<wxRect>& Cells() const { return cells_; }
  // Lays the cells out for the current client size.
  void Relayout();
  // The photo whose cell contains the canvas point, or -1.
  int PhotoAt(const wxPoint& canvas_point) const;
  // What a double click at a canvas point does.
  void ActivateAt(const wxPoint& canvas_point);

  void Render(wxDC& dc);

 private:
  void OnDraw(wxDC& dc) override;
  void OnDoubleClick(wxMouseEvent& event);
  void OnSize(wxSizeEvent& event);
  const wxBitmap& Thumbnail(int photo, const wxSize& size);

  struct Cached {
    PhotoKey key;
    wxSize size;
    wxBitmap bitmap;
  };

  CProjectDocument* doc_;
  std::vector<wxRect> cells_;
  double factor_ = 1.0;  // photo pixels per thumbnail pixel
  std::vector<Cached> cache_;
};

}  // namespace vistamet
