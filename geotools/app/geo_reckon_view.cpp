#include "geotools/app/geo_reckon_view.h"

#include <wx/dc.h>
#include <wx/settings.h>

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
  RunFunction(event.GetId() - ID_FUNCTION_FIRST);
}

void CGeoReckonView::RunFunction(int function) {
  CGeoReckonDoc* d = doc();
  if (!d) return;
  const GrkDocument& data = d->data();
  wxWindow* parent = frame_ ? static_cast<wxWindow*>(frame_) : wxTheApp->GetTopWindow();
  if (function == 0) {
    CParamDlg dialog(parent, data.ellipsoid, data.inputUnit, data.outputUnit);
    if (dialog.ShowModal() == wxID_OK) {
      d->SetParams(dialog.ellipsoid(), dialog.input_unit(), dialog.output_unit());
    }
    return;
  }
  int result = wxID_CANCEL;
  switch (function) {
    case 1: {
      CBLHXYZDlg dialog(parent, data.ellipsoid, data.inputUnit, data.outputUnit);
      result = dialog.ShowModal();
      break;
    }
    case 2: {
      CGeodeticDlg dialog(parent, data.ellipsoid, data.inputUnit, data.outputUnit);
      result = dialog.ShowModal();
      break;
    }
    case 3: {
      CPlaneCoorDlg dialog(parent, data.ellipsoid, data.inputUnit, data.outputUnit);
      result = dialog.ShowModal();
      break;
    }
    case 4: {
      CGaussDlg dialog(parent, data.ellipsoid, data.inputUnit, data.outputUnit);
      result = dialog.ShowModal();
      break;
    }
    case 5: {
      CZoneChangeDlg dialog(parent, data.ellipsoid);
      result = dialog.ShowModal();
      break;
    }
    case 6: {
      CSevenSolveDlg dialog(parent);
      result = dialog.ShowModal();
      break;
    }
    case 7: {
      CSevenApplyDlg dialog(parent);
      result = dialog.ShowModal();
      break;
    }
    case 8: {
      CFourSolveDlg dialog(parent);
      result = dialog.ShowModal();
      break;
    }
    case 9: {
      CFourApplyDlg dialog(parent);
      result = dialog.ShowModal();
      break;
    }
    default:
      return;
  }
  if (result == wxID_OK) d->UpdateAllViews();
}

void CGeoReckonView::OnNewWindow(wxCommandEvent&) {
  CGeoReckonDoc* d = doc();
  if (d && d->GetDocumentTemplate()) d->GetDocumentTemplate()->CreateView(d);
}

}  // namespace georeckon
