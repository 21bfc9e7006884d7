#include "geotools/app/view_canvas.h"

#include "geotools/app/geo_reckon_view.h"

namespace georeckon {

CViewCanvas::CViewCanvas(wxWindow* parent, CGeoReckonView* view)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(200, 200),
                       wxHSCROLL | wxVSCROLL | wxBORDER_NONE, "outputView"),
      view_(view) {
  SetBackgroundColour(*wxWHITE);
  SetVirtualSize(100, 100);
  SetScrollRate(10, 10);
}

void CViewCanvas::OnDraw(wxDC& dc) {
  if (view_) view_->OnDraw(&dc);
}

}  // namespace georeckon
