#include "measure/views/dc_sink.h"

#include <algorithm>
#include <cmath>

namespace vistamet {

namespace {

// Device coordinates stay well inside what the window system can draw.
int DeviceCoordinate(double v) {
  return static_cast<int>(std::clamp(std::floor(v + 0.5), -1.0e8, 1.0e8));
}

}  // namespace

wxColour ColourOf(uint32_t bgr) { return wxColour(RedOf(bgr), GreenOf(bgr), BlueOf(bgr)); }

CDcSink::CDcSink(wxDC& dc, double scale, double ox, double oy, int text_height)
    : dc_(dc), scale_(scale), ox_(ox), oy_(oy) {
  dc_.SetBackgroundMode(wxTRANSPARENT);
  if (text_height > 0) {
    wxFont font = *wxNORMAL_FONT;
    font.SetPixelSize(wxSize(0, text_height));
    dc_.SetFont(font);
  } else {
    dc_.SetFont(*wxNORMAL_FONT);
  }
}

wxPoint CDcSink::Device(double x, double y) const {
  return wxPoint(DeviceCoordinate(x * scale_ + ox_), DeviceCoordinate(oy_ - y * scale_));
}

void CDcSink::Pen(double w, uint32_t c) {
  const int width = std::max(1, static_cast<int>(std::lround(std::min(w * scale_, 1.0e4))));
  wxPen pen(ColourOf(c), width);
  pen.SetCap(wxCAP_ROUND);
  dc_.SetPen(pen);
}

void CDcSink::Line(double x1, double y1, double x2, double y2, double w, uint32_t c) {
  Pen(w, c);
  dc_.DrawLine(Device(x1, y1), Device(x2, y2));
}

void CDcSink::Arc(double cx, double cy, double r, double a0, double a1, double w, uint32_t c) {
  Pen(w, c);
  dc_.SetBrush(*wxTRANSPARENT_BRUSH);
  // The device's y runs down, so an arc counter-clockwise with y up is
  // counter-clockwise on the screen too: DrawArc's own direction.
  dc_.DrawArc(Device(cx + r * std::cos(a0), cy + r * std::sin(a0)),
              Device(cx + r * std::cos(a1), cy + r * std::sin(a1)), Device(cx, cy));
}

void CDcSink::Circle(double cx, double cy, double r, double w, uint32_t c, Fill fill) {
  Pen(w, c);
  dc_.SetBrush(fill == Fill::kNone    ? *wxTRANSPARENT_BRUSH
               : fill == Fill::kWhite ? *wxWHITE_BRUSH
                                      : wxBrush(ColourOf(c)));
  const wxPoint centre = Device(cx, cy);
  dc_.DrawCircle(centre, std::max(1, DeviceCoordinate(r * scale_)));
}

void CDcSink::Text(double x, double y, const std::string& text, uint32_t c) {
  dc_.SetTextForeground(ColourOf(c));
  dc_.DrawText(wxString::FromUTF8(text), Device(x, y));
}

}  // namespace vistamet
