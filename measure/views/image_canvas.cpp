#include "measure/views/image_canvas.h"

#include <algorithm>
#include <cmath>

#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>

#include <wx/menu.h>

#include "common/strformat.h"
#include "measure/app/command_ids.h"
#include "measure/app/project_document.h"
#include "measure/shell/app_texts.h"
#include "measure/views/tool_cursors.h"

namespace vistamet {

namespace {

constexpr int kScrollStep = 10;

// Photo pixels to logical pixels: truncation toward zero of x / d + 0.5.
inline int ToLogical(double v, double d) { return static_cast<int>(v / d + 0.5); }

void DrawMark(wxDC& dc, const wxPoint& p, int32_t number, const wxColour& text) {
  dc.DrawLine(p.x - 2, p.y, p.x + 3, p.y);
  dc.DrawLine(p.x, p.y - 2, p.x, p.y + 3);
  if (number == kNoNumber) return;
  dc.SetTextForeground(text);
  dc.DrawText(wxString::Format("%d", number), p.x + 1, p.y + 1);
}

}  // namespace

CImageCanvas::CImageCanvas(wxWindow* parent, CProjectDocument* doc)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxSize(200, 200),
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE),
      doc_(doc) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetBackgroundColour(*wxWHITE);
  SetScrollRate(kScrollStep, kScrollStep);
  SetVirtualSize(100, 100);
  Bind(wxEVT_SIZE, &CImageCanvas::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &CImageCanvas::OnLeftDown, this);
  Bind(wxEVT_MOTION, &CImageCanvas::OnMotion, this);
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) {
    pointer_in_ = false;
    if (clicks_.Counter() > 0) Refresh();
    e.Skip();
  });
  Bind(wxEVT_MOUSEWHEEL, &CImageCanvas::OnWheel, this);
  Bind(wxEVT_MIDDLE_DOWN, &CImageCanvas::OnMiddleDown, this);
  Bind(wxEVT_MIDDLE_UP, &CImageCanvas::OnMiddleUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CImageCanvas::OnCaptureLost, this);
  Bind(wxEVT_CONTEXT_MENU, &CImageCanvas::OnContextMenu, this);
}

PhotoPoint CImageCanvas::ToPhoto(const wxPoint& client) const {
  const wxPoint logical = CalcUnscrolledPosition(client);
  return {logical.x * d_, logical.y * d_};
}

void CImageCanvas::ScrollByPhotoPixels(double dx, double dy) {
  int x = 0, y = 0, ux = 1, uy = 1;
  GetViewStart(&x, &y);
  GetScrollPixelsPerUnit(&ux, &uy);
  const int px = x * ux + static_cast<int>(dx / d_);
  const int py = y * uy + static_cast<int>(dy / d_);
  Scroll(std::max(0, px / std::max(1, ux)), std::max(0, py / std::max(1, uy)));
  Refresh();
}

void CImageCanvas::ResetClicks() {
  clicks_.Reset();
  Refresh();
}

void CImageCanvas::LeftClickAt(const wxPoint& client) {
  CVistametDoc& core = doc_->Core();
  const PhotoPoint at = ToPhoto(client);
  const int counter = clicks_.Counter();
  const ClickOutcome outcome = clicks_.Click(core, at);
  if (outcome == ClickOutcome::kOpenPlanMap) doc_->OpenWindow(ViewKind::kPlanMap);
  // A click that changed nothing may still have moved the rubber bands.
  if (outcome == ClickOutcome::kPending || clicks_.Counter() != counter) Refresh();
  MoveTo(client);
}

void CImageCanvas::MoveTo(const wxPoint& client) {
  const CVistametDoc& core = doc_->Core();
  pointer_ = ToPhoto(client);
  pointer_in_ = true;
  const int hit = MeasureClicks::HitPoint(core, pointer_);
  const ToolCursor cursor = clicks_.CursorOf(core, hit);
  if (cursor != ToolCursor::kUnchanged) SetCursor(CursorFor(cursor));
  else if (core.viewMode == kModeNone) SetCursor(wxNullCursor);
  if (core.viewMode != kModeRectangleCorners) {
    const wxString tip = wxString::FromUTF8(MeasureClicks::LabelOf(core, hit));
    if (tip != tip_) {
      tip_ = tip;
      if (tip.empty()) UnsetToolTip();
      else SetToolTip(tip);
    }
  }
  if (clicks_.Counter() > 0) Refresh();
}

void CImageCanvas::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  LeftClickAt(event.GetPosition());
}

void CImageCanvas::OnMotion(wxMouseEvent& event) {
  if (panning_) {
    const wxPoint p = event.GetPosition();
    ScrollByPhotoPixels((pan_from_.x - p.x) * d_, (pan_from_.y - p.y) * d_);
    pan_from_ = p;
    return;
  }
  MoveTo(event.GetPosition());
  event.Skip();
}

void CImageCanvas::ZoomAbout(const wxPoint& client, int steps) {
  const PhotoPoint fixed = ToPhoto(client);
  const double before = d_;
  for (int k = 0; k < steps; ++k) ZoomIn();
  for (int k = 0; k > steps; --k) ZoomOut();
  if (d_ == before) return;
  // Keep the photo point under the cursor where it was.
  int ux = 1, uy = 1;
  GetScrollPixelsPerUnit(&ux, &uy);
  const int left = static_cast<int>(fixed.x / d_) - client.x;
  const int top = static_cast<int>(fixed.y / d_) - client.y;
  Scroll(std::max(0, left / std::max(1, ux)), std::max(0, top / std::max(1, uy)));
  Refresh();
}

void CImageCanvas::OnWheel(wxMouseEvent& event) {
  // Ctrl and the wheel zoom about the cursor; the wheel alone scrolls.
  if (!event.ControlDown()) {
    event.Skip();
    return;
  }
  const int steps = event.GetWheelRotation() > 0 ? 1 : -1;
  ZoomAbout(event.GetPosition(), steps);
}

void CImageCanvas::OnMiddleDown(wxMouseEvent& event) {
  panning_ = true;
  pan_from_ = event.GetPosition();
  SetCursor(wxCursor(wxCURSOR_SIZING));
  if (!HasCapture()) CaptureMouse();
}

void CImageCanvas::OnMiddleUp(wxMouseEvent& event) {
  panning_ = false;
  if (HasCapture()) ReleaseMouse();
  MoveTo(event.GetPosition());
}

void CImageCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) { panning_ = false; }

void CImageCanvas::OnContextMenu(wxContextMenuEvent& event) {
  CVistametDoc& core = doc_->Core();
  core.viewMode = kModeNone;
  clicks_.Reset();
  Refresh();
  wxMenu menu;
  auto item = [&menu](int id, const char* text) { menu.Append(id, wxString::FromUTF8(text)); };
  item(kCmdZoomIn, ui::kPopupZoomIn);
  item(kCmdZoomOut, ui::kPopupZoomOut);
  menu.AppendSeparator();
  item(kCmdEditPoint, ui::kPopupEditPoint);
  item(kCmdClearNumber, ui::kPopupClearNumber);
  item(kCmdDeletePoint, ui::kPopupDeletePoint);
  item(kCmdDeleteSpacePoint, ui::kPopupDeleteSpacePoint);
  menu.AppendSeparator();
  item(kCmdAddPoint, ui::kPopupAddPoint);
  item(kCmdRectangleCorners, ui::kPopupRectangleCorners);
  menu.AppendSeparator();
  item(kCmdSweepCurrent, ui::kPopupSweepCurrent);
  menu.AppendSeparator();
  item(kCmdAdjust, ui::kPopupAdjust);
  item(kCmdMeasureDistance, ui::kPopupMeasureDistance);
  menu.AppendSeparator();
  item(kCmdExit, ui::kPopupExit);
  wxPoint at = event.GetPosition();
  at = at == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(at);
  PopupMenu(&menu, at);
}

wxPoint CImageCanvas::ToScreen(double x, double y) const {
  return wxPoint(ToLogical(x, d_), ToLogical(y, d_));
}

void CImageCanvas::ZoomIn() {
  if (d_ >= kMinDivisorToHalve) SetDivisor(d_ / 2);
}

void CImageCanvas::ZoomOut() {
  if (d_ <= kMaxDivisorToDouble) SetDivisor(d_ * 2);
}

void CImageCanvas::SetDivisor(double d) {
  d_ = d;
  UpdateVirtualSize();
  Refresh();
}

void CImageCanvas::OnSize(wxSizeEvent& event) {
  UpdateVirtualSize();
  event.Skip();
}

void CImageCanvas::UpdateVirtualSize() {
  const CVistametDoc& core = doc_->Core();
  if (!core.ValidPhoto(core.currentPhoto)) {
    SetVirtualSize(100, 100);
    return;
  }
  const ImageHolder& photo = core.photoImages[core.currentPhoto];
  SetVirtualSize(static_cast<int>(photo.width / d_), static_cast<int>(photo.height / d_));
}

bool CImageCanvas::EnsurePhoto() {
  const CVistametDoc& core = doc_->Core();
  if (!core.ValidPhoto(core.currentPhoto)) return false;
  const ImageHolder& photo = core.photoImages[core.currentPhoto];
  if (photo.Empty()) return false;
  const PhotoKey key = PhotoKey::Of(photo, core.photoPaths[core.currentPhoto]);
  if (key == key_ && renderer_.Ok()) return true;
  key_ = key;
  // The pixels are decoded (or taken from the photo cache) only when the
  // shown photo changes; the renderer keeps its own copy.
  const std::shared_ptr<const ImageHolder> pixels = core.PhotoPixels(core.currentPhoto, true);
  // The reduced views repaint once their levels are ready.
  renderer_.SetPhoto(pixels ? PhotoImage(*pixels) : wxImage(),
                     [this] { CallAfter([this] { Refresh(); }); });
  UpdateVirtualSize();
  return renderer_.Ok();
}

wxRect CImageCanvas::VisiblePhotoRect() const {
  const CVistametDoc& core = doc_->Core();
  if (!core.ValidPhoto(core.currentPhoto)) return wxRect();
  const ImageHolder& photo = core.photoImages[core.currentPhoto];
  const wxPoint origin = CalcUnscrolledPosition(wxPoint(0, 0));
  const wxSize client = GetClientSize();
  int left = static_cast<int>(origin.x * d_), top = static_cast<int>(origin.y * d_);
  int right = static_cast<int>((origin.x + client.x) * d_);
  int bottom = static_cast<int>((origin.y + client.y) * d_);
  right = std::min(right, photo.width);
  bottom = std::min(bottom, photo.height);
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return wxRect(wxPoint(left, top), wxPoint(right - 1, bottom - 1));
}

void CImageCanvas::OnDraw(wxDC& dc) {
  const wxPoint origin = CalcUnscrolledPosition(wxPoint(0, 0));
  const wxRect area(origin, GetClientSize());
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  dc.Clear();
  Render(dc, area);
  DrawRubberBands(dc);
  CVistametDoc& core = doc_->Core();
  if (core.ValidPhoto(core.currentPhoto)) {
    const wxRect v = VisiblePhotoRect();
    core.photoImages[core.currentPhoto].visible = {v.GetLeft(), v.GetTop(), v.GetRight() + 1,
                                                   v.GetBottom() + 1};
  }
  if (painted_) painted_();
}

void CImageCanvas::Render(wxDC& dc, const wxRect& area) {
  if (!EnsurePhoto()) return;
  renderer_.Draw(dc, area, d_);
  if (doc_->Core().extractionRunning == 0) DrawOverlays(dc);
}

void CImageCanvas::DrawRubberBands(wxDC& dc) {
  // Drawn with the photo in logical coordinates at every paint, so that
  // scrolling between two clicks leaves nothing behind.
  const CVistametDoc& core = doc_->Core();
  const std::vector<PhotoPoint>& clicks = clicks_.Clicks();
  if (clicks.empty() || core.WorkRunning()) return;
  const bool distance = core.viewMode == kModeMeasureDistance;
  const bool rectangle = core.viewMode == kModeRectangleCorners;
  if (!distance && !rectangle) return;
  if (rectangle) {
    dc.SetPen(wxPen(wxColour(255, 255, 0), 1));
    for (size_t k = 1; k < clicks.size(); ++k)
      dc.DrawLine(ToScreen(clicks[k - 1].x, clicks[k - 1].y), ToScreen(clicks[k].x, clicks[k].y));
  }
  if (!pointer_in_) return;
  const PhotoPoint& last = clicks.back();
  dc.SetPen(wxPen(*wxWHITE, 3));
  dc.DrawLine(ToScreen(last.x, last.y), ToScreen(pointer_.x, pointer_.y));
  dc.SetPen(wxPen(*wxBLACK, 1));
  dc.DrawLine(ToScreen(last.x, last.y), ToScreen(pointer_.x, pointer_.y));
}

void CImageCanvas::DrawOverlays(wxDC& dc) {
  const CVistametDoc& core = doc_->Core();
  const int photo = core.currentPhoto;
  // The marks are single crisp pixels, as measured positions should be.
  if (wxGraphicsContext* gc = dc.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_NONE);
  dc.SetBackgroundMode(wxTRANSPARENT);
  dc.SetFont(*wxNORMAL_FONT);

  dc.SetPen(wxPen(wxColour(255, 0, 0), 1));
  for (const ImagePoint& p : core.imagePoints)
    if (p.photoIndex == photo)
      DrawMark(dc, ToScreen(p.x, p.y), p.pointNumber, wxColour(0, 255, 0));

  if (core.adjusted == 0) return;
  if (core.bShowAdjusted) {
    dc.SetPen(wxPen(wxColour(0, 255, 255), 1));
    for (const ImagePoint& p : core.adjustedPoints)
      if (p.photoIndex == photo)
        DrawMark(dc, ToScreen(p.x, p.y), p.pointNumber, wxColour(198, 0, 0));
  }
  if (core.bShowDistances) {
    dc.SetPen(wxPen(wxColour(0, 255, 255), 1));
    dc.SetTextForeground(wxColour(0, 255, 255));
    for (int i = 0; i < core.DistanceCount(); ++i) {
      const int a = core.FindImagePointByNumber(core.distancePairs[2 * i], photo, true);
      const int b = core.FindImagePointByNumber(core.distancePairs[2 * i + 1], photo, true);
      if (a < 0 || b < 0) continue;
      const wxPoint pa = ToScreen(core.imagePoints[a].x, core.imagePoints[a].y);
      const wxPoint pb = ToScreen(core.imagePoints[b].x, core.imagePoints[b].y);
      dc.DrawLine(pa, pb);
      double mm = 0;
      if (core.DistanceLength(i, &mm))
        dc.DrawText(wxString::FromUTF8(common::StrFormat("%.2f", mm * 0.001)),
                    (pa.x + pb.x) / 2, (pa.y + pb.y) / 2);
    }
    // The distances chosen in the data list's distance table, once more in
    // bold red.
    if (!core.highlightList.empty() && core.listMode == 0) {
      dc.SetPen(wxPen(wxColour(255, 0, 0), 2));
      for (int32_t i : core.highlightList) {
        if (i < 0 || i >= core.DistanceCount()) continue;
        const int a = core.FindImagePointByNumber(core.distancePairs[2 * i], photo, true);
        const int b = core.FindImagePointByNumber(core.distancePairs[2 * i + 1], photo, true);
        if (a < 0 || b < 0) continue;
        dc.DrawLine(ToScreen(core.imagePoints[a].x, core.imagePoints[a].y),
                    ToScreen(core.imagePoints[b].x, core.imagePoints[b].y));
      }
    }
  }
}

}  // namespace vistamet
