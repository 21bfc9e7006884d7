#include "measure/views/tool_cursors.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <numbers>

#include <wx/graphics.h>

namespace vistamet {

namespace {

constexpr int kSize = 32;
constexpr int kCircleRadius = 4;  // the circle at the centre of a cross-hair

struct Rgb {
  unsigned char r, g, b;
};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kYellow{255, 224, 0};
constexpr Rgb kRed{230, 0, 0};
constexpr Rgb kDark{48, 48, 48};

constexpr double kHalfSqrt2 = std::numbers::sqrt2 / 2;

// The pixels a drawing covers, row after row.
using Coverage = std::array<bool, kSize * kSize>;
using Drawing = std::function<void(wxGraphicsContext&)>;

constexpr size_t At(int x, int y) { return static_cast<size_t>(y) * kSize + static_cast<size_t>(x); }

// The pixels `draw` covers on a clear picture. It draws without smoothing,
// with a fill and no outline to start with; a rectangle at whole numbers
// fills exactly its pixels, a stroke through pixel centres (x + 0.5) covers
// the pixels it passes.
Coverage Shape(const Drawing& draw) {
  wxImage layer(kSize, kSize);
  layer.InitAlpha();
  std::fill_n(layer.GetAlpha(), kSize * kSize, wxIMAGE_ALPHA_TRANSPARENT);
  {
    // The context writes its drawing back into the picture when it goes.
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(layer));
    if (gc) {
      gc->SetAntialiasMode(wxANTIALIAS_NONE);
      gc->DisableOffset();
      gc->SetPen(*wxTRANSPARENT_PEN);
      gc->SetBrush(*wxWHITE_BRUSH);
      draw(*gc);
    }
  }
  Coverage covered{};
  const unsigned char* alpha = layer.GetAlpha();
  for (size_t i = 0; i < covered.size(); ++i) covered[i] = alpha[i] >= 128;
  return covered;
}

// Fills the pixels from column x, row y, w wide and h high.
void Block(wxGraphicsContext& gc, int x, int y, int w, int h) { gc.DrawRectangle(x, y, w, h); }

// Strokes with a pen `width` wide, ends cut square; restores the fill.
void WithPen(wxGraphicsContext& gc, double width, const std::function<void()>& stroke) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(*wxWHITE).Width(width).Cap(wxCAP_BUTT)));
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  stroke();
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(*wxWHITE_BRUSH);
}

// A straight stroke between the centres of pixels a and b.
void Stroke(wxGraphicsContext& gc, wxPoint a, wxPoint b, double width) {
  WithPen(gc, width, [&] { gc.StrokeLine(a.x + 0.5, a.y + 0.5, b.x + 0.5, b.y + 0.5); });
}

// A circle of radius r around the centre of pixel c, one pixel wide.
void Circle(wxGraphicsContext& gc, wxPoint c, double r) {
  WithPen(gc, 1.0, [&] { gc.DrawEllipse(c.x + 0.5 - r, c.y + 0.5 - r, 2 * r, 2 * r); });
}

// The four arms of a cross centred on pixel c, from `from` to `to` pixels
// away from c, both included.
void Arms(wxGraphicsContext& gc, wxPoint c, int from, int to) {
  const int n = to - from + 1;
  Block(gc, c.x - to, c.y, n, 1);
  Block(gc, c.x + from, c.y, n, 1);
  Block(gc, c.x, c.y - to, 1, n);
  Block(gc, c.x, c.y + from, 1, n);
}

// A cross-hair whose arms reach `reach` pixels from c and end at a small
// circle; the centre pixel itself is drawn, so the click position shows.
Coverage CrossHair(wxPoint c, int reach) {
  return Shape([&](wxGraphicsContext& gc) {
    Arms(gc, c, kCircleRadius + 1, reach);
    Circle(gc, c, kCircleRadius);
    Block(gc, c.x, c.y, 1, 1);
  });
}

// An X of two bold diagonals, `half` pixels each way from its centre c.
Coverage Saltire(wxPoint c, int half) {
  return Shape([&](wxGraphicsContext& gc) {
    Stroke(gc, {c.x - half, c.y - half}, {c.x + half, c.y + half}, 2.0);
    Stroke(gc, {c.x - half, c.y + half}, {c.x + half, c.y - half}, 2.0);
  });
}

// A hand pointing up, its index fingertip at pixel (7, 3). The 1-pixel
// gaps between the fingers are filled by the ring drawn round the hand.
Coverage Hand() {
  return Shape([](wxGraphicsContext& gc) {
    Block(gc, 6, 3, 3, 14);   // index finger
    Block(gc, 10, 10, 3, 7);  // middle finger
    Block(gc, 14, 11, 3, 6);  // ring finger
    Block(gc, 18, 13, 3, 4);  // little finger
    wxGraphicsPath thumb = gc.CreatePath();
    thumb.MoveToPoint(1, 13);
    thumb.AddLineToPoint(4, 13);
    thumb.AddLineToPoint(5, 17);
    thumb.AddLineToPoint(7, 17);
    thumb.AddLineToPoint(7, 24);
    thumb.AddLineToPoint(5, 24);
    thumb.AddLineToPoint(1, 17);
    thumb.CloseSubpath();
    gc.FillPath(thumb);
    Block(gc, 5, 17, 16, 8);  // palm
    Block(gc, 7, 26, 12, 3);  // cuff
  });
}

// A ruler lying in the lower right corner and its scale marks.
Coverage Ruler() {
  return Shape([](wxGraphicsContext& gc) { Block(gc, 18, 22, 13, 7); });
}
Coverage RulerMarks() {
  return Shape([](wxGraphicsContext& gc) {
    for (int i = 0; i < 6; ++i) Block(gc, 19 + 2 * i, 22, 1, i % 2 == 0 ? 4 : 2);
  });
}

// The picture of one cursor: clear at first, then colour after colour,
// each over the ones before.
class Picture {
 public:
  explicit Picture(wxPoint hotSpot) : image_(kSize, kSize), hotSpot_(hotSpot) {
    image_.InitAlpha();
    std::fill_n(image_.GetAlpha(), kSize * kSize, wxIMAGE_ALPHA_TRANSPARENT);
  }

  wxPoint HotSpot() const { return hotSpot_; }

  void Put(const Coverage& shape, Rgb colour) {
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        if (shape[At(x, y)]) Set(x, y, colour);
      }
    }
  }

  // Puts the shape over a ring of `ring`: the free pixels left, right,
  // above or below a covered one.
  void PutRinged(const Coverage& shape, Rgb colour, Rgb ring) {
    Put(RingOf(shape), ring);
    Put(shape, colour);
  }

  wxImage Finish() {
    image_.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, hotSpot_.x);
    image_.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, hotSpot_.y);
    return image_;
  }

 private:
  static Coverage RingOf(const Coverage& shape) {
    Coverage ring{};
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        if (shape[At(x, y)]) continue;
        ring[At(x, y)] = (x > 0 && shape[At(x - 1, y)]) || (x + 1 < kSize && shape[At(x + 1, y)]) ||
                         (y > 0 && shape[At(x, y - 1)]) || (y + 1 < kSize && shape[At(x, y + 1)]);
      }
    }
    return ring;
  }

  void Set(int x, int y, Rgb c) {
    image_.SetRGB(x, y, c.r, c.g, c.b);
    image_.SetAlpha(x, y, wxIMAGE_ALPHA_OPAQUE);
  }

  wxImage image_;
  wxPoint hotSpot_;
};

// A picture holding the cross-hair of `kind` at its hot spot.
Picture CrossHairPicture(ToolCursor kind, Rgb colour, Rgb ring, int reach = 13) {
  Picture p(CursorHotSpot(kind));
  p.PutRinged(CrossHair(p.HotSpot(), reach), colour, ring);
  return p;
}

wxImage DrawSaltire(ToolCursor kind, Rgb colour, Rgb ring) {
  Picture p(CursorHotSpot(kind));
  p.PutRinged(Saltire(p.HotSpot(), 6), colour, ring);
  return p.Finish();
}

wxImage DrawHand(ToolCursor kind, bool withDeleteMark) {
  Picture p(CursorHotSpot(kind));
  p.PutRinged(Hand(), kWhite, kBlack);
  if (withDeleteMark) p.PutRinged(Saltire({24, 6}, 4), kRed, kWhite);
  return p.Finish();
}

// Yellow and dark dashes alternating along the arms, a gap round the
// centre pixel.
wxImage DrawAdd() {
  Picture p(CursorHotSpot(ToolCursor::kAdd));
  const wxPoint c = p.HotSpot();
  p.Put(Shape([&](wxGraphicsContext& gc) {
          Block(gc, c.x, c.y, 1, 1);
          Arms(gc, c, 3, 5);
          Arms(gc, c, 10, 12);
        }),
        kYellow);
  p.Put(Shape([&](wxGraphicsContext& gc) {
          Arms(gc, c, 6, 8);
          Arms(gc, c, 13, 14);
        }),
        kDark);
  return p.Finish();
}

wxImage DrawOccupied() {
  Picture p(CursorHotSpot(ToolCursor::kOccupied));
  const wxPoint c = p.HotSpot();
  p.PutRinged(Shape([&](wxGraphicsContext& gc) { gc.DrawEllipse(c.x - 9, c.y - 9, 20, 20); }), kYellow, kBlack);
  p.Put(Shape([&](wxGraphicsContext& gc) {
          Block(gc, c.x - 1, c.y - 6, 3, 9);  // the bar, through the hot spot
          Block(gc, c.x - 1, c.y + 5, 3, 3);  // the point
        }),
        kBlack);
  return p.Finish();
}

wxImage DrawDistance(ToolCursor kind, Rgb colour, Rgb ring, Rgb rulerColour) {
  Picture p = CrossHairPicture(kind, colour, ring);
  p.PutRinged(Ruler(), rulerColour, kBlack);
  p.Put(RulerMarks(), kBlack);
  return p.Finish();
}

wxImage DrawRectangle() {
  Picture p = CrossHairPicture(ToolCursor::kRectangle, kYellow, kBlack);
  p.PutRinged(Shape([](wxGraphicsContext& gc) {
                Block(gc, 19, 19, 9, 1);
                Block(gc, 19, 27, 9, 1);
                Block(gc, 19, 19, 1, 9);
                Block(gc, 27, 19, 1, 9);
              }),
              kWhite, kBlack);
  return p.Finish();
}

// A curved arrow from the lower left up towards the cross-hair's circle.
Coverage CurvedArrow() {
  return Shape([](wxGraphicsContext& gc) {
    const double endX = 9.5, endY = 14.5;  // where the shaft meets the head
    const double dx = kHalfSqrt2, dy = -kHalfSqrt2;  // its direction there
    WithPen(gc, 2.0, [&] {
      wxGraphicsPath shaft = gc.CreatePath();
      shaft.MoveToPoint(4.0, 30.0);
      shaft.AddQuadCurveToPoint(endX - 9 * dx, endY - 9 * dy, endX, endY);
      gc.StrokePath(shaft);
    });
    wxGraphicsPath head = gc.CreatePath();
    head.MoveToPoint(endX + 5 * dx, endY + 5 * dy);
    head.AddLineToPoint(endX - dx - 4.5 * dy, endY - dy + 4.5 * dx);
    head.AddLineToPoint(endX - dx + 4.5 * dy, endY - dy - 4.5 * dx);
    head.CloseSubpath();
    gc.FillPath(head);
  });
}

wxImage DrawPlanePointHit() {
  Picture p(CursorHotSpot(ToolCursor::kPlanePointHit));
  p.PutRinged(CurvedArrow(), kBlack, kWhite);
  p.PutRinged(CrossHair(p.HotSpot(), 9), kYellow, kBlack);
  return p.Finish();
}

}  // namespace

wxPoint CursorHotSpot(ToolCursor kind) {
  switch (kind) {
    case ToolCursor::kUnchanged:
    case ToolCursor::kCross:
      return {0, 0};
    case ToolCursor::kClearNumber:
    case ToolCursor::kDeleteSpacePoint:
      return {16, 15};
    case ToolCursor::kDelete:
    case ToolCursor::kPlanePoint:
      return {7, 3};
    case ToolCursor::kOccupied:
      return {15, 15};
    case ToolCursor::kPlanePointHit:
      return {17, 6};
    case ToolCursor::kEdit:
    case ToolCursor::kAdd:
    case ToolCursor::kDistance:
    case ToolCursor::kDistanceHit:
    case ToolCursor::kRectangle:
      break;
  }
  return {14, 14};
}

wxImage CursorImage(ToolCursor kind) {
  switch (kind) {
    case ToolCursor::kUnchanged:
    case ToolCursor::kCross:
      break;
    case ToolCursor::kEdit:
      return CrossHairPicture(kind, kYellow, kBlack).Finish();
    case ToolCursor::kClearNumber:
      return DrawSaltire(kind, kYellow, kBlack);
    case ToolCursor::kDeleteSpacePoint:
      return DrawSaltire(kind, kRed, kWhite);
    case ToolCursor::kDelete:
      return DrawHand(kind, true);
    case ToolCursor::kAdd:
      return DrawAdd();
    case ToolCursor::kOccupied:
      return DrawOccupied();
    case ToolCursor::kDistance:
      return DrawDistance(kind, kBlack, kWhite, kWhite);
    case ToolCursor::kDistanceHit:
      return DrawDistance(kind, kYellow, kBlack, kYellow);
    case ToolCursor::kRectangle:
      return DrawRectangle();
    case ToolCursor::kPlanePoint:
      return DrawHand(kind, false);
    case ToolCursor::kPlanePointHit:
      return DrawPlanePointHit();
  }
  return wxImage();
}

const wxCursor& CursorFor(ToolCursor kind) {
  if (kind == ToolCursor::kUnchanged) return wxNullCursor;
  if (kind == ToolCursor::kCross) return *wxCROSS_CURSOR;
  // Made at the first call and never freed: a cursor outlives every window
  // that shows it, and releasing it after the display has closed is unsafe.
  static std::array<wxCursor*, static_cast<size_t>(ToolCursor::kPlanePointHit) + 1> made{};
  wxCursor*& cursor = made[static_cast<size_t>(kind)];
  if (!cursor) cursor = new wxCursor(CursorImage(kind));
  return *cursor;
}

const wxCursor& StripHandCursor() { return CursorFor(ToolCursor::kPlanePoint); }

}  // namespace vistamet
