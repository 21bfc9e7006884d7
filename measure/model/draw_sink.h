// The few drawing operations the plan map and its symbols need, apart from
// any device: the screen and the printer (wx), the SVG and PDF files and the
// tests each implement them. Coordinates are the caller's units with y up;
// the sink knows how its units reach its device.
#pragma once

#include <cstdint>
#include <string>

namespace vistamet {

// Colours are 0x00BBGGRR.
inline constexpr uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}
inline int RedOf(uint32_t c) { return c & 0xFF; }
inline int GreenOf(uint32_t c) { return (c >> 8) & 0xFF; }
inline int BlueOf(uint32_t c) { return (c >> 16) & 0xFF; }

enum class Fill { kNone, kWhite, kColour };

class DrawSink {
 public:
  virtual ~DrawSink() = default;
  // A straight line `width` units wide.
  virtual void Line(double x1, double y1, double x2, double y2, double width,
                    uint32_t colour) = 0;
  // An arc of the circle (cx, cy, r) from angle a0 counter-clockwise to a1
  // (radians, y up).
  virtual void Arc(double cx, double cy, double r, double a0, double a1, double width,
                   uint32_t colour) = 0;
  // A circle outlined in `colour`, filled as asked.
  virtual void Circle(double cx, double cy, double r, double width, uint32_t colour,
                      Fill fill) = 0;
  // UTF-8 text with its top-left corner at (x, y), in the default font.
  virtual void Text(double x, double y, const std::string& text, uint32_t colour) = 0;
};

}  // namespace vistamet
