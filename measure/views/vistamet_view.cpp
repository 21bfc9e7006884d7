#include "measure/views/vistamet_view.h"

#include "measure/views/child_frame.h"

#include <algorithm>

#include <wx/dc.h>
#include <wx/filedlg.h>
#include <wx/splitter.h>

#include "measure/shell/app_texts.h"
#include "measure/app/command_ids.h"
#include "measure/app/doc_manager.h"
#include "measure/app/icons/command_icons.h"
#include "measure/views/image_canvas.h"
#include "measure/app/project_document.h"
#include "measure/views/photo_min_view.h"

namespace vistamet {

namespace {

struct ModeCommand {
  int id;
  int mode;
};

constexpr ModeCommand kModes[] = {
    {kCmdEditPoint, kModeEditPoint},
    {kCmdClearNumber, kModeClearNumber},
    {kCmdDeleteSpacePoint, kModeDeleteSpacePoint},
    {kCmdDeletePoint, kModeDeletePoint},
    {kCmdAddPoint, kModeAddPoint},
    {kCmdMeasureDistance, kModeMeasureDistance},
    {kCmdRectangleCorners, kModeRectangleCorners},
    {kCmdPlanePoint, kModePlanePoint},
};

int ModeOf(int id) {
  for (const ModeCommand& m : kModes)
    if (m.id == id) return m.mode;
  return kModeNone;
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CVistametView, wxView);

wxBEGIN_EVENT_TABLE(CVistametView, wxView)
  EVT_MENU(kCmdZoomIn, CVistametView::OnZoom)
  EVT_MENU(kCmdZoomOut, CVistametView::OnZoom)
  EVT_UPDATE_UI(kCmdZoomIn, CVistametView::OnUpdateAlways)
  EVT_UPDATE_UI(kCmdZoomOut, CVistametView::OnUpdateAlways)
  EVT_MENU(kCmdEditPoint, CVistametView::OnMode)
  EVT_MENU(kCmdClearNumber, CVistametView::OnMode)
  EVT_MENU(kCmdDeleteSpacePoint, CVistametView::OnMode)
  EVT_MENU(kCmdDeletePoint, CVistametView::OnMode)
  EVT_MENU(kCmdAddPoint, CVistametView::OnMode)
  EVT_MENU(kCmdMeasureDistance, CVistametView::OnMode)
  EVT_MENU(kCmdRectangleCorners, CVistametView::OnMode)
  EVT_MENU(kCmdPlanePoint, CVistametView::OnMode)
  EVT_UPDATE_UI(kCmdEditPoint, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdClearNumber, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdDeleteSpacePoint, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdDeletePoint, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdAddPoint, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdMeasureDistance, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdRectangleCorners, CVistametView::OnUpdateMode)
  EVT_UPDATE_UI(kCmdPlanePoint, CVistametView::OnUpdateMode)
  EVT_MENU(kCmdClearAllNumbers, CVistametView::OnClearAllNumbers)
  EVT_UPDATE_UI(kCmdClearAllNumbers, CVistametView::OnUpdateNoExtraction)
  EVT_MENU(kCmdSweepCurrent, CVistametView::OnSweepCurrent)
  EVT_UPDATE_UI(kCmdSweepCurrent, CVistametView::OnUpdateNoExtraction)
  EVT_MENU(kCmdOpenText, CVistametView::OnOpenText)
  EVT_UPDATE_UI(kCmdOpenText, CVistametView::OnUpdateAlways)
wxEND_EVENT_TABLE()

bool CVistametView::OnCreate(wxDocument* doc, long) {
  auto* manager = dynamic_cast<CDocManager*>(doc->GetDocumentManager());
  if (!manager || !manager->Frame()) return false;
  frame_ = new CChildFrame(doc, this, manager->Frame());
  SetFrame(frame_);
  frame_->Show(true);
  Activate(true);
  return true;
}

CImageCanvas* CVistametView::Canvas() const { return frame_ ? frame_->Canvas() : nullptr; }
CPhotoMinView* CVistametView::Strip() const { return frame_ ? frame_->Strip() : nullptr; }

void CVistametView::OnDraw(wxDC* dc) {
  // Printing: the current photo with its points, fitted to the page.
  CImageCanvas* canvas = Canvas();
  CProjectDocument* doc = ProjectDoc();
  if (!canvas || !doc || !dc) return;
  const CVistametDoc& core = doc->Core();
  if (!core.ValidPhoto(core.currentPhoto)) return;
  const ImageHolder& photo = core.photoImages[core.currentPhoto];
  if (photo.Empty()) return;
  int pw = 0, ph = 0;
  dc->GetSize(&pw, &ph);
  const double scale = std::min(static_cast<double>(pw) / photo.width,
                                static_cast<double>(ph) / photo.height);
  const double d = canvas->Divisor();
  dc->SetUserScale(scale * d, scale * d);
  canvas->Render(*dc, wxRect(0, 0, static_cast<int>(photo.width / d),
                             static_cast<int>(photo.height / d)));
  dc->SetUserScale(1, 1);
}

void CVistametView::OnUpdate(wxView*, wxObject* hint) {
  const auto* h = dynamic_cast<CUpdateHint*>(hint);
  const bool strip = !h || h->Reaches(ViewUpdate::kThumbnails);
  const bool image = !h || h->Reaches(ViewUpdate::kImage);
  if (strip && Strip()) {
    Strip()->Relayout();
    Strip()->Refresh();
  }
  if (image && Canvas()) Canvas()->Refresh();
}

bool CVistametView::OnClose(bool delete_window) {
  // Another project window of the document keeps it open.
  for (wxView* view : GetDocument()->GetViewsVector())
    if (view != this && dynamic_cast<CVistametView*>(view)) return true;
  return wxView::OnClose(delete_window);
}

// --- Commands ---

void CVistametView::OnZoom(wxCommandEvent& event) {
  if (!Canvas()) return;
  if (event.GetId() == kCmdZoomIn) Canvas()->ZoomIn();
  else Canvas()->ZoomOut();
}

void CVistametView::OnUpdateAlways(wxUpdateUIEvent& event) { event.Enable(true); }

void CVistametView::OnMode(wxCommandEvent& event) {
  CVistametDoc& core = ProjectDoc()->Core();
  const int mode = ModeOf(event.GetId());
  if (mode == kModeMeasureDistance ? core.adjusted != 1 : core.WorkRunning()) return;
  core.viewMode = mode;
  // Entering the two-click and four-click modes starts their count again.
  if ((mode == kModeMeasureDistance || mode == kModeRectangleCorners) && Canvas())
    Canvas()->ResetClicks();
}

void CVistametView::OnUpdateMode(wxUpdateUIEvent& event) {
  const CVistametDoc& core = ProjectDoc()->Core();
  const int mode = ModeOf(event.GetId());
  event.Check(core.viewMode == mode);
  if (mode == kModeMeasureDistance) {
    // Distances are measured between adjusted points only.
    event.Enable(core.adjusted == 1);
    event.SetText(wxString::FromUTF8(core.adjusted == 1 ? ui::kItemMeasureDistance
                                                        : ui::kItemMeasureDistanceFirst));
    return;
  }
  event.Enable(!core.WorkRunning());
}

void CVistametView::OnClearAllNumbers(wxCommandEvent&) {
  CVistametDoc& core = ProjectDoc()->Core();
  if (core.WorkRunning()) return;
  if (core.ClearCurrentPhotoNumbers()) core.UpdateViews(ViewUpdate::kAll);
}

void CVistametView::OnSweepCurrent(wxCommandEvent&) {
  CVistametDoc& core = ProjectDoc()->Core();
  if (core.WorkRunning()) return;
  core.viewMode = kModeNone;
  if (Canvas()) Canvas()->ResetClicks();
  if (core.DeleteUnnumberedPoints(SweepScope::kCurrentPhoto)) core.UpdateViews(ViewUpdate::kAll);
  else if (Canvas()) Canvas()->Refresh();
}

void CVistametView::OnUpdateNoExtraction(wxUpdateUIEvent& event) {
  event.Enable(!ProjectDoc()->Core().WorkRunning());
}

void CVistametView::OnOpenText(wxCommandEvent&) {
  wxFileDialog dialog(GetFrame(), wxString::FromUTF8(ui::kOpenTitle), wxEmptyString,
                      wxEmptyString, wxString::FromUTF8(ui::kTextFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  if (auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager()))
    manager->OpenTextFile(dialog.GetPath());
}

}  // namespace vistamet
