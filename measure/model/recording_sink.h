// A DrawSink that keeps what it is asked to draw, for the tests.
#pragma once

#include <string>
#include <vector>

#include "measure/model/draw_sink.h"

namespace vistamet {

class RecordingSink : public DrawSink {
 public:
  struct LineOp { double x1, y1, x2, y2, width; uint32_t colour; };
  struct ArcOp { double cx, cy, r, a0, a1, width; uint32_t colour; };
  struct CircleOp { double cx, cy, r, width; uint32_t colour; Fill fill; };
  struct TextOp { double x, y; std::string text; uint32_t colour; };

  void Line(double x1, double y1, double x2, double y2, double w, uint32_t c) override {
    lines.push_back({x1, y1, x2, y2, w, c});
  }
  void Arc(double cx, double cy, double r, double a0, double a1, double w, uint32_t c) override {
    arcs.push_back({cx, cy, r, a0, a1, w, c});
  }
  void Circle(double cx, double cy, double r, double w, uint32_t c, Fill fill) override {
    circles.push_back({cx, cy, r, w, c, fill});
  }
  void Text(double x, double y, const std::string& text, uint32_t c) override {
    texts.push_back({x, y, text, c});
  }
  // The first text that starts with `prefix`, or null.
  const TextOp* FindText(const std::string& prefix) const {
    for (const TextOp& t : texts)
      if (t.text.rfind(prefix, 0) == 0) return &t;
    return nullptr;
  }

  std::vector<LineOp> lines;
  std::vector<ArcOp> arcs;
  std::vector<CircleOp> circles;
  std::vector<TextOp> texts;
};

}  // namespace vistamet
