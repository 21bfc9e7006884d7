// The right pane of a project window: the current photo at a zoom divisor d
// (photo pixels per screen pixel), scrolled, with the measured points drawn
// over it as red crosses with their numbers, the back-projected points and
// the distances after an adjustment.
#pragma once

#include <functional>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/scrolwin.h>

#include "measure/shell/measure_clicks.h"
#include "measure/views/photo_bitmaps.h"
#include "measure/views/photo_renderer.h"

namespace vistamet {

class CProjectDocument;

class CImageCanvas : public wxScrolledCanvas {
 public:
  // The zoom divisor's limits: halving stops below 0.02, doubling above 100,
  // so d runs over the powers of two from 1/64 to 128.
  static constexpr double kMinDivisorToHalve = 0.02;
  static constexpr double kMaxDivisorToDouble = 100.0;

  CImageCanvas(wxWindow* parent, CProjectDocument* doc);

  double Divisor() const { return d_; }
  void ZoomIn();
  void ZoomOut();

  // Called after each paint (the thumbnail strip redraws the frame of the
  // visible region).
  void SetPaintedHook(std::function<void()> hook) { painted_ = std::move(hook); }

  // The logical canvas position of a photo position (pixels): each
  // coordinate divided by d, plus 0.5, truncated.
  wxPoint ToScreen(double x, double y) const;

  // Draws what the canvas shows into `dc`, for the visible logical
  // rectangle `area` (also used to render the view into a bitmap).
  void Render(wxDC& dc, const wxRect& area);
  // The photo drawing (tests wait for its reduction levels).
  PhotoRenderer& Renderer() { return renderer_; }

  // The photo rectangle that the window shows, from its client size and
  // scroll position.
  wxRect VisiblePhotoRect() const;

  // The photo position (pixels, unrounded) under a client position.
  PhotoPoint ToPhoto(const wxPoint& client) const;
  // Scrolls by photo pixels (the thumbnail strip's frame drag).
  void ScrollByPhotoPixels(double dx, double dy);
  // Forgets the clicks collected for a distance or a rectangle.
  void ResetClicks();
  const MeasureClicks& Clicks() const { return clicks_; }

  // What the mouse does, also called by the tests with client positions.
  void LeftClickAt(const wxPoint& client);
  void MoveTo(const wxPoint& client);
  // Zooms in (steps > 0) or out keeping the photo point under `client`.
  void ZoomAbout(const wxPoint& client, int steps);

 private:
  void OnDraw(wxDC& dc) override;
  void OnSize(wxSizeEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnWheel(wxMouseEvent& event);
  void OnMiddleDown(wxMouseEvent& event);
  void OnMiddleUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void DrawRubberBands(wxDC& dc);
  void UpdateVirtualSize();
  void SetDivisor(double d);
  // The display image of the current photo (converted once per photo).
  bool EnsurePhoto();
  void DrawOverlays(wxDC& dc);

  CProjectDocument* doc_;
  double d_ = 1.0;
  MeasureClicks clicks_;
  PhotoPoint pointer_;        // the last mouse position, photo pixels
  bool pointer_in_ = false;   // the mouse is over the window
  wxString tip_;              // the tooltip shown now
  bool panning_ = false;      // middle-button drag
  wxPoint pan_from_;          // client position of the last pan step
  std::function<void()> painted_;

  PhotoKey key_;
  PhotoRenderer renderer_;
};

}  // namespace vistamet
