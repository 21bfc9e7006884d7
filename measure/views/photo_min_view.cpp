#include "measure/views/photo_min_view.h"

#include <algorithm>

#include <wx/dc.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/tooltip.h>

#include "common/strformat.h"
#include "measure/app/command_ids.h"
#include "measure/app/project_document.h"
#include "measure/model/photo_thumbnails.h"
#include "measure/shell/app_texts.h"
#include "measure/shell/photo_commands.h"
#include "measure/views/image_canvas.h"
#include "measure/views/tool_cursors.h"

namespace vistamet {

namespace {

// A raised outer and a sunken inner line around `r` (a "bump" edge).
void DrawBumpEdge(wxDC& dc, const wxRect& r) {
  const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT);
  const wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
  auto frame = [&dc](const wxRect& q, const wxColour& tl, const wxColour& br) {
    dc.SetPen(wxPen(tl));
    dc.DrawLine(q.GetLeft(), q.GetBottom(), q.GetLeft(), q.GetTop());
    dc.DrawLine(q.GetLeft(), q.GetTop(), q.GetRight(), q.GetTop());
    dc.SetPen(wxPen(br));
    dc.DrawLine(q.GetRight(), q.GetTop(), q.GetRight(), q.GetBottom());
    dc.DrawLine(q.GetRight(), q.GetBottom(), q.GetLeft() - 1, q.GetBottom());
  };
  frame(r, light, dark);
  frame(wxRect(r).Deflate(1), dark, light);
}

}  // namespace

CPhotoMinView::CPhotoMinView(wxWindow* parent, CProjectDocument* doc)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxSize(200, 200),
                       wxVSCROLL | wxHSCROLL | wxFULL_REPAINT_ON_RESIZE),
      doc_(doc) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetScrollRate(10, 10);
  SetVirtualSize(100, 100);
  Bind(wxEVT_LEFT_DCLICK, &CPhotoMinView::OnDoubleClick, this);
  Bind(wxEVT_SIZE, &CPhotoMinView::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &CPhotoMinView::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CPhotoMinView::OnLeftUp, this);
  Bind(wxEVT_MOTION, &CPhotoMinView::OnMotion, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CPhotoMinView::OnCaptureLost, this);
  Bind(wxEVT_CONTEXT_MENU, &CPhotoMinView::OnContextMenu, this);
  Bind(wxEVT_MENU, &CPhotoMinView::OnMenu, this, kCmdStripSetCurrent, kCmdStripAddPhoto);
  Bind(wxEVT_UPDATE_UI, &CPhotoMinView::OnUpdateMenu, this, kCmdStripSetCurrent,
       kCmdStripAddPhoto);
}

double CPhotoMinView::FactorOf(int photo) const {
  const CVistametDoc& core = doc_->Core();
  if (!core.ValidPhoto(photo) || photo >= static_cast<int>(cells_.size())) return factor_;
  // Each photo's own scale: a portrait photo among landscape ones is
  // reduced more than the first photo.
  return static_cast<double>(core.photoImages[photo].width) / std::max(1, cells_[photo].width);
}

wxRect CPhotoMinView::Frame() const {
  const CVistametDoc& core = doc_->Core();
  const int i = core.currentPhoto;
  if (!core.ValidPhoto(i) || i >= static_cast<int>(cells_.size())) return wxRect();
  const ImageHolder& photo = core.photoImages[i];
  const PixelRect& v = photo.visible;
  if (v.right <= v.left || v.bottom <= v.top) return wxRect();
  const wxRect& r = cells_[i];
  const double c = FactorOf(i);
  return wxRect(wxPoint(r.x + static_cast<int>(v.left / c), r.y + static_cast<int>(v.top / c)),
                wxPoint(r.x + static_cast<int>(v.right / c) - 1,
                        r.y + static_cast<int>(v.bottom / c) - 1));
}

void CPhotoMinView::OnLeftDown(wxMouseEvent& event) {
  const CVistametDoc& core = doc_->Core();
  const wxPoint p = CalcUnscrolledPosition(event.GetPosition());
  const wxRect frame = Frame();
  event.Skip();
  if (frame.IsEmpty() || !frame.Contains(p) || !core.ValidPhoto(core.currentPhoto)) return;
  // Nothing to drag when the image view shows the whole photo.
  const ImageHolder& photo = core.photoImages[core.currentPhoto];
  const PixelRect& v = photo.visible;
  if (v.left <= 0 && v.top <= 0 && v.right >= photo.width && v.bottom >= photo.height) return;
  dragging_ = true;
  drag_from_ = event.GetPosition();
  SetCursor(wxCursor(wxCURSOR_SIZING));
  if (!HasCapture()) CaptureMouse();
}

void CPhotoMinView::OnLeftUp(wxMouseEvent& event) {
  dragging_ = false;
  if (HasCapture()) ReleaseMouse();
  event.Skip();
}

void CPhotoMinView::OnCaptureLost(wxMouseCaptureLostEvent&) { dragging_ = false; }

void CPhotoMinView::OnMotion(wxMouseEvent& event) {
  event.Skip();
  if (dragging_) {
    const wxPoint p = event.GetPosition();
    const double c = FactorOf(doc_->Core().currentPhoto);
    if (canvas_)
      canvas_->ScrollByPhotoPixels(static_cast<int>((p.x - drag_from_.x) * c),
                                   static_cast<int>((p.y - drag_from_.y) * c));
    drag_from_ = p;
    Refresh();
    return;
  }
  const wxPoint p = CalcUnscrolledPosition(event.GetPosition());
  const wxRect frame = Frame();
  SetCursor(!frame.IsEmpty() && frame.Contains(p) ? StripHandCursor() : wxNullCursor);
  const int photo = PhotoAt(p);
  const CVistametDoc& core = doc_->Core();
  const wxString tip = core.ValidPhoto(photo) ? wxString::FromUTF8(core.photoPaths[photo])
                                              : wxString();
  if (tip.empty()) UnsetToolTip();
  else if (!GetToolTip() || GetToolTip()->GetTip() != tip) SetToolTip(tip);
}

void CPhotoMinView::OnContextMenu(wxContextMenuEvent& event) {
  wxPoint at = event.GetPosition();
  at = at == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(at);
  menu_target_ = PhotoAt(CalcUnscrolledPosition(at));
  wxMenu menu;
  if (menu_target_ >= 0) {
    menu.Append(kCmdStripSetCurrent, wxString::FromUTF8(ui::kStripSetCurrent));
    menu.Append(kCmdStripDeletePhoto, wxString::FromUTF8(ui::kStripDeletePhoto));
  } else {
    menu.Append(kCmdStripAddPhoto, wxString::FromUTF8(ui::kStripAddPhoto));
  }
  PopupMenu(&menu, at);
}

void CPhotoMinView::OnUpdateMenu(wxUpdateUIEvent& event) {
  event.Enable(event.GetId() == kCmdStripSetCurrent || !doc_->Core().WorkRunning());
}

void CPhotoMinView::OnMenu(wxCommandEvent& event) {
  switch (event.GetId()) {
    case kCmdStripSetCurrent:
      SetCurrentToTarget();
      break;
    case kCmdStripDeletePhoto:
      DeleteTarget();
      break;
    case kCmdStripAddPhoto: {
      wxFileDialog dialog(this, wxString::FromUTF8(ui::kOpenTitle), wxEmptyString, wxEmptyString,
                          wxString::FromUTF8(ui::kImageFilter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
      if (dialog.ShowModal() == wxID_OK) AddPhotoFrom(dialog.GetPath());
      break;
    }
  }
}

void CPhotoMinView::SetCurrentToTarget() {
  doc_->Core().SetCurrentPhoto(menu_target_);  // refreshes every view on a change
}

void CPhotoMinView::DeleteTarget() {
  CVistametDoc& core = doc_->Core();
  if (!core.ValidPhoto(menu_target_)) return;
  // The target is checked again: the photos may have changed since the menu.
  if (DeletePhotoCommand(core, menu_target_)) {
    cache_.clear();
    menu_target_ = -1;
  }
}

void CPhotoMinView::AddPhotoFrom(const wxString& path) {
  CVistametDoc& core = doc_->Core();
  if (!AddPhotoCommand(core, path.ToStdString(wxConvUTF8))) return;
  if (AddedPhotoWantsExtraction(core)) doc_->StartExtraction(ExtractionKind::kAddedPhoto);
}

void CPhotoMinView::Relayout() {
  const CVistametDoc& core = doc_->Core();
  cells_.clear();
  const wxSize client = GetClientSize();
  const int inset = client.x / 20;
  wxRect cell(inset, kTopMargin, std::max(1, client.x - 2 * inset), client.y + 1000 - kTopMargin);
  const int n = core.PhotoCount();
  if (n == 0 || core.photoImages.empty() || core.photoImages[0].Empty()) {
    SetVirtualSize(cell.width, 100);
    return;
  }
  // The first photo sets the scale and the pitch of all cells.
  const ImageHolder& first = core.photoImages[0];
  factor_ = std::max(static_cast<double>(first.width) / cell.width,
                     static_cast<double>(first.height) / cell.height);
  const int pitch = std::max(static_cast<int>(first.width / factor_),
                             static_cast<int>(first.height / factor_));
  int top = kTopMargin;
  for (int i = 0; i < n; ++i) {
    const ImageHolder& photo = core.photoImages[i];
    const double c = photo.Empty() ? factor_
                                   : std::max(static_cast<double>(photo.width) / cell.width,
                                              static_cast<double>(photo.height) / pitch);
    const int w = photo.Empty() ? 0 : static_cast<int>(photo.width / c);
    const int h = photo.Empty() ? 0 : static_cast<int>(photo.height / c);
    cells_.emplace_back(cell.x, top, w, h);
    top += kGap + pitch;
  }
  SetVirtualSize(static_cast<int>(first.width / factor_),
                 (n - 1) * kGap + n * pitch + 2 * kGap);
}

int CPhotoMinView::PhotoAt(const wxPoint& p) const {
  for (size_t i = 0; i < cells_.size(); ++i)
    if (cells_[i].Contains(p)) return static_cast<int>(i);
  return -1;
}

void CPhotoMinView::ActivateAt(const wxPoint& p) {
  const int photo = PhotoAt(p);
  if (photo >= 0) doc_->Core().SetCurrentPhoto(photo);  // refreshes every view on a change
}

void CPhotoMinView::OnDoubleClick(wxMouseEvent& event) {
  ActivateAt(CalcUnscrolledPosition(event.GetPosition()));
}

void CPhotoMinView::OnSize(wxSizeEvent& event) {
  Relayout();  // the cells follow the pane's width
  Refresh();
  event.Skip();
}

const wxBitmap& CPhotoMinView::Thumbnail(int photo, const wxSize& size) {
  const CVistametDoc& core = doc_->Core();
  const ImageHolder& holder = core.photoImages[photo];
  if (cache_.size() < static_cast<size_t>(photo) + 1) cache_.resize(photo + 1);
  Cached& c = cache_[photo];
  const PhotoKey key = PhotoKey::Of(holder, core.photoPaths[photo]);
  if (!(c.key == key) || c.size != size || !c.bitmap.IsOk()) {
    c.key = key;
    c.size = size;
    // A photo the document holds in memory is reduced directly; the others
    // come from the thumbnail cache on disk (made on first use).
    ImageHolder small;
    const bool held = !holder.grey.empty();
    if (held || LoadPhotoThumbnail(core.photoPaths[photo], &small))
      c.bitmap = wxBitmap(PhotoThumbnail(held ? holder : small, size.x, size.y));
    else
      c.bitmap = wxBitmap(wxImage(size.x, size.y));
  }
  return c.bitmap;
}

void CPhotoMinView::OnDraw(wxDC& dc) { Render(dc); }

void CPhotoMinView::Render(wxDC& dc) {
  const CVistametDoc& core = doc_->Core();
  const wxSize virt = GetVirtualSize();
  dc.SetBrush(wxBrush(wxColour(128, 128, 128)));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.DrawRectangle(0, 0, virt.x + 1024, virt.y + 768);
  dc.SetTextForeground(wxColour(0, 255, 0));
  dc.SetBackgroundMode(wxTRANSPARENT);
  for (size_t i = 0; i < cells_.size(); ++i) {
    const wxRect& r = cells_[i];
    dc.DrawText(wxString::Format(wxString::FromUTF8(ui::kThumbnailLabel), static_cast<int>(i) + 1),
                5, r.y - 18);
    if (r.width > 0 && r.height > 0) dc.DrawBitmap(Thumbnail(static_cast<int>(i), r.GetSize()), r.x, r.y);
    if (static_cast<int>(i) != core.currentPhoto) continue;
    const wxRect frame = Frame();
    if (!frame.IsEmpty()) DrawBumpEdge(dc, frame);
    DrawBumpEdge(dc, wxRect(wxPoint(r.x - 3, r.y - 2), wxPoint(r.GetRight() + 3, r.GetBottom() + 2)));
  }
}

}  // namespace vistamet
