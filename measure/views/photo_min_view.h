// The left pane of a project window: every photo as a thumbnail in a
// vertical strip, labelled "Image:n", with the part of the current photo
// that the image view shows framed. A double click makes a photo current;
// dragging the frame scrolls the image view; the context menu sets the
// current photo, deletes one or adds one.
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

  // The visible-region frame on the current photo's thumbnail (canvas
  // coordinates), empty when the image view shows the whole photo.
  wxRect Frame() const;
  // The photo pixels per thumbnail pixel of photo i.
  double FactorOf(int photo) const;
  // The menu target: the photo under the last context-menu click, or -1.
  int MenuTarget() const { return menu_target_; }
  void SetMenuTarget(int photo) { menu_target_ = photo; }

  // The image view the frame drag scrolls (the project window's right pane).
  void SetImageView(class CImageCanvas* canvas) { canvas_ = canvas; }

  // The context menu's commands.
  void SetCurrentToTarget();
  void DeleteTarget();
  void AddPhotoFrom(const wxString& path);

 private:
  void OnDraw(wxDC& dc) override;
  void OnDoubleClick(wxMouseEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnMenu(wxCommandEvent& event);
  void OnUpdateMenu(wxUpdateUIEvent& event);
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
  class CImageCanvas* canvas_ = nullptr;
  int menu_target_ = -1;
  bool dragging_ = false;
  wxPoint drag_from_;     // client position of the last drag step
};

}  // namespace vistamet
