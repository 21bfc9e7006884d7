#include "geotools/app/geo_reckon_view.h"

#include <wx/dc.h>
#include <wx/settings.h>

#include <cstdint>
#include <utility>

#include "geotools/app/app_texts.h"
#include "geotools/app/blh_xyz_dlg.h"
#include "geotools/app/child_frame.h"
#include "geotools/app/four_apply_dlg.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/gauss_dlg.h"
#include "geotools/app/geo_reckon_app.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/geodetic_dlg.h"
#include "geotools/app/left_view.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/menus.h"
#include "geotools/app/param_dlg.h"
#include "geotools/app/plane_coor_dlg.h"
#include "geotools/app/seven_apply_dlg.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/app/ui_services.h"
#include "geotools/app/view_canvas.h"
#include "geotools/app/zone_change_dlg.h"

namespace georeckon {

wxIMPLEMENT_DYNAMIC_CLASS(CGeoReckonView, wxView);

CGeoReckonView::CGeoReckonView() {
  Bind(wxEVT_MENU, &CGeoReckonView::OnFunction, this, ID_FUNCTION_FIRST, ID_FUNCTION_LAST);
  Bind(wxEVT_MENU, &CGeoReckonView::OnNewWindow, this, ID_WINDOW_NEW);
}

void DrawOutput(wxDC& dc, const CGeoReckonDoc& doc) {
  dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  dc.SetTextForeground(*wxBLACK);
  dc.SetBackgroundMode(wxTRANSPARENT);
  const GrkDocument& d = doc.data();
  if (!d.currentText.empty()) {
    // Nothing selected yet (index -1): the text goes to the top instead of
    // above the visible area.
    const int y = d.currentIndex < 0 ? 0 : 20 * d.currentIndex;
    dc.DrawText(Wx(d.currentText), 10, y);
    return;
  }
  dc.DrawText(Wx(app_texts::kViewHeading), 30, 20);
  dc.SetPen(*wxBLACK_PEN);
  dc.DrawLine(30, 45, 300, 45);
  for (int i = 0; i < 10; ++i) dc.DrawText(Wx(app_texts::kViewLines[i]), 30, 70 + 25 * i);
}

CGeoReckonDoc* CGeoReckonView::doc() const { return dynamic_cast<CGeoReckonDoc*>(GetDocument()); }

bool CGeoReckonView::OnCreate(wxDocument* document, long flags) {
  if (!wxView::OnCreate(document, flags)) return false;
  wxMDIParentFrame* parent = TheMainFrame();
  if (!parent) return false;
  frame_ = new CChildFrame(doc(), this, parent);
  SetFrame(frame_);
  frame_->Show(true);
  frame_->Maximize(true);
  Activate(true);
  return true;
}

void CGeoReckonView::OnDraw(wxDC* dc) {
  if (dc && doc()) DrawOutput(*dc, *doc());
}

void CGeoReckonView::OnUpdate(wxView*, wxObject*) {
  if (!frame_) return;
  frame_->left()->OnDocumentChanged();
  frame_->canvas()->Refresh();
}

bool CGeoReckonView::OnClose(bool delete_window) {
  CGeoReckonDoc* d = doc();
  // Only the last window of a document closes the document (and asks
  // whether to save it).
  int windows = 0;
  if (d) {
    for (wxView* v : d->GetViewsVector()) windows += dynamic_cast<CGeoReckonView*>(v) ? 1 : 0;
  }
  if (d && windows <= 1 && !d->Close()) return false;
  Activate(false);
  if (frame_) {
    frame_->canvas()->Detach();
    frame_->left()->Detach();
  }
  if (delete_window && frame_) {
    frame_->Destroy();
    SetFrame(nullptr);
  }
  frame_ = nullptr;
  return true;
}

void CGeoReckonView::OnFunction(wxCommandEvent& event) {
  RunFunction(kToolFunctions[event.GetId() - ID_FUNCTION_FIRST]);
}

namespace {

template <typename Dialog, typename... Args>
int ShowDialog(Args&&... args) {
  Dialog dialog(std::forward<Args>(args)...);
  return dialog.ShowModal();
}

}  // namespace

void CGeoReckonView::RunFunction(ToolFunction function) {
  CGeoReckonDoc* d = doc();
  if (!d) return;
  const GrkDocument& data = d->data();
  wxWindow* parent = frame_ ? static_cast<wxWindow*>(frame_) : wxTheApp->GetTopWindow();
  const EllipsoidParams& e = data.ellipsoid;
  const int32_t in = data.inputUnit;
  const int32_t out = data.outputUnit;
  int result = wxID_CANCEL;
  switch (function) {
    case ToolFunction::kParams: {
      CParamDlg dialog(parent, e, in, out);
      if (dialog.ShowModal() == wxID_OK) {
        d->SetParams(dialog.ellipsoid(), dialog.input_unit(), dialog.output_unit());
      }
      return;
    }
    case ToolFunction::kBlhXyz:
      result = ShowDialog<CBLHXYZDlg>(parent, e, in, out);
      break;
    case ToolFunction::kGeodetic:
      result = ShowDialog<CGeodeticDlg>(parent, e, in, out);
      break;
    case ToolFunction::kPlaneCoordinates:
      result = ShowDialog<CPlaneCoorDlg>(parent, e, in, out);
      break;
    case ToolFunction::kGauss:
      result = ShowDialog<CGaussDlg>(parent, e, in, out);
      break;
    case ToolFunction::kZoneChange:
      result = ShowDialog<CZoneChangeDlg>(parent, e);
      break;
    case ToolFunction::kSevenSolve:
      result = ShowDialog<CSevenSolveDlg>(parent);
      break;
    case ToolFunction::kSevenApply:
      result = ShowDialog<CSevenApplyDlg>(parent);
      break;
    case ToolFunction::kFourSolve:
      result = ShowDialog<CFourSolveDlg>(parent);
      break;
    case ToolFunction::kFourApply:
      result = ShowDialog<CFourApplyDlg>(parent);
      break;
  }
  if (result == wxID_OK) d->UpdateAllViews();
}

void CGeoReckonView::OnNewWindow(wxCommandEvent&) {
  CGeoReckonDoc* d = doc();
  if (d && d->GetDocumentTemplate()) d->GetDocumentTemplate()->CreateView(d);
}

}  // namespace georeckon
