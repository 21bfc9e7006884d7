#include "measure/views/child_frame.h"

#include <wx/splitter.h>

#include "measure/app/icons/command_icons.h"
#include "measure/app/project_document.h"
#include "measure/views/image_canvas.h"
#include "measure/views/photo_min_view.h"
#include "measure/views/vistamet_view.h"

namespace vistamet {

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, wxMDIParentFrame* parent)
    : wxDocMDIChildFrame(doc, view, parent, wxID_ANY, doc->GetUserReadableName(),
                         wxDefaultPosition, wxSize(800, 600)) {
  SetIcons(AppIcons());
  auto* project = dynamic_cast<CProjectDocument*>(doc);
  splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                   wxSP_3D | wxSP_LIVE_UPDATE);
  strip_ = new CPhotoMinView(splitter_, project);
  canvas_ = new CImageCanvas(splitter_, project);
  splitter_->SetMinimumPaneSize(40);
  splitter_->SplitVertically(strip_, canvas_, CVistametView::kInitialPane);
  // Every repaint of the photo moves the frame on its thumbnail; dragging
  // the frame scrolls the photo.
  canvas_->SetPaintedHook([this] { strip_->Refresh(); });
  strip_->SetImageView(canvas_);
  // Ctrl+Down and Ctrl+Up zoom wherever the focus is in this window: the
  // scrolled panes would take them for scrolling before the menu's keys.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_CONTROL) {
      if (event.GetKeyCode() == WXK_DOWN) return canvas_->ZoomIn();
      if (event.GetKeyCode() == WXK_UP) return canvas_->ZoomOut();
    }
    event.Skip();
  });
  canvas_->SetFocus();
}

}  // namespace vistamet
