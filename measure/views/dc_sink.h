// Draws the plan map's primitives (map units, y up) on a wx device context:
// device = (x * scale + ox, oy - y * scale). The screen uses scale 1 / k,
// the printer the device pixels of 0.01 mm.
#pragma once

#include <wx/dc.h>

#include "measure/model/draw_sink.h"

namespace vistamet {

class CDcSink : public DrawSink {
 public:
  // `text_height` in device pixels; 0 keeps the device's default font.
  CDcSink(wxDC& dc, double scale, double ox = 0, double oy = 0, int text_height = 0);

  void Line(double x1, double y1, double x2, double y2, double w, uint32_t c) override;
  void Arc(double cx, double cy, double r, double a0, double a1, double w, uint32_t c) override;
  void Circle(double cx, double cy, double r, double w, uint32_t c, Fill fill) override;
  void Text(double x, double y, const std::string& text, uint32_t c) override;

  wxPoint Device(double x, double y) const;

 private:
  void Pen(double w, uint32_t c);

  wxDC& dc_;
  double scale_, ox_, oy_;
};

wxColour ColourOf(uint32_t bgr);

}  // namespace vistamet
