// The function and program icons. Every picture is drawn on a 32 × 32 grid
// and scaled, so the 16-pixel icons are the same drawings at half size with
// lines that stay at least one pixel wide.
#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <cmath>
#include <memory>

#include "geotools/app/icons.h"

namespace georeckon {

namespace {

const wxColour kBlue(46, 109, 180);
const wxColour kLightBlue(214, 230, 247);
const wxColour kGreen(58, 155, 92);
const wxColour kLightGreen(218, 240, 224);
const wxColour kOrange(232, 135, 43);
const wxColour kDark(51, 71, 91);
const wxColour kRed(192, 57, 43);

class Painter {
 public:
  explicit Painter(wxGraphicsContext* gc, int size) : gc_(gc), line_(size < 24 ? 2.2 : 1.6) {
    gc_->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc_->Scale(size / 32.0, size / 32.0);
  }

  void Pen(const wxColour& c, double width_factor = 1.0) {
    gc_->SetPen(gc_->CreatePen(wxGraphicsPenInfo(c).Width(line_ * width_factor)));
  }
  void NoPen() { gc_->SetPen(*wxTRANSPARENT_PEN); }
  void Fill(const wxColour& c) { gc_->SetBrush(wxBrush(c)); }
  void NoFill() { gc_->SetBrush(*wxTRANSPARENT_BRUSH); }

  void Line(double x1, double y1, double x2, double y2) { gc_->StrokeLine(x1, y1, x2, y2); }
  void Ellipse(double cx, double cy, double rx, double ry) {
    gc_->DrawEllipse(cx - rx, cy - ry, 2 * rx, 2 * ry);
  }
  void Rect(double x, double y, double w, double h) { gc_->DrawRectangle(x, y, w, h); }
  void Dot(double x, double y, double r, const wxColour& c) {
    NoPen();
    Fill(c);
    Ellipse(x, y, r, r);
  }

  // A line with a filled arrowhead at (x2, y2).
  void Arrow(double x1, double y1, double x2, double y2, const wxColour& c) {
    Pen(c, 1.15);
    const double dx = x2 - x1, dy = y2 - y1;
    const double len = std::hypot(dx, dy);
    const double ux = dx / len, uy = dy / len;
    const double head = 4.5;
    Line(x1, y1, x2 - ux * head * 0.6, y2 - uy * head * 0.6);
    wxGraphicsPath p = gc_->CreatePath();
    p.MoveToPoint(x2, y2);
    p.AddLineToPoint(x2 - ux * head - uy * head * 0.55, y2 - uy * head + ux * head * 0.55);
    p.AddLineToPoint(x2 - ux * head + uy * head * 0.55, y2 - uy * head - ux * head * 0.55);
    p.CloseSubpath();
    NoPen();
    Fill(c);
    gc_->FillPath(p);
  }

  // A globe: disc with equator and central meridian.
  void Globe(double cx, double cy, double r) {
    Pen(kBlue);
    Fill(kLightBlue);
    Ellipse(cx, cy, r, r);
    NoFill();
    Pen(kBlue, 0.7);
    Ellipse(cx, cy, r * 0.42, r);
    Line(cx - r, cy, cx + r, cy);
  }

  // A Gauss zone: the lens between two meridians.
  void Zone(double cx, double top, double bottom, double half_width, const wxColour& line,
            const wxColour& fill) {
    wxGraphicsPath p = gc_->CreatePath();
    const double mid = (top + bottom) / 2;
    p.MoveToPoint(cx, top);
    p.AddQuadCurveToPoint(cx + 2 * half_width, mid, cx, bottom);
    p.AddQuadCurveToPoint(cx - 2 * half_width, mid, cx, top);
    p.CloseSubpath();
    Pen(line);
    Fill(fill);
    gc_->DrawPath(p);
    Pen(line, 0.7);
    Line(cx, top + 1, cx, bottom - 1);
  }

  // Three axes from an origin: up, right and down-left.
  void Triad(double ox, double oy, double len, const wxColour& c) {
    Arrow(ox, oy, ox, oy - len, c);
    Arrow(ox, oy, ox + len, oy, c);
    Arrow(ox, oy, ox - len * 0.62, oy + len * 0.62, c);
  }

  // Two axes from an origin: up and right.
  void Axes2(double ox, double oy, double len, const wxColour& c) {
    Arrow(ox, oy, ox, oy - len, c);
    Arrow(ox, oy, ox + len, oy, c);
  }

  // The mark of a solving function: an orange disc with an equals sign.
  void SolveBadge(double cx, double cy) {
    Pen(wxColour(255, 255, 255), 0.8);
    Fill(kOrange);
    Ellipse(cx, cy, 6, 6);
    Pen(wxColour(255, 255, 255), 1.1);
    Line(cx - 3, cy - 1.6, cx + 3, cy - 1.6);
    Line(cx - 3, cy + 1.6, cx + 3, cy + 1.6);
  }

  wxGraphicsContext* gc() { return gc_; }

 private:
  wxGraphicsContext* gc_;
  double line_;
};

void DrawFunction(Painter& p, ToolFunction function) {
  switch (function) {
    case ToolFunction::kParams: {  // parameters: the ellipsoid with its semi-axes a and b
      p.Pen(kBlue);
      p.Fill(kLightBlue);
      p.Ellipse(16, 16, 14, 10.5);
      p.Pen(kBlue, 0.7);
      p.Line(2, 16, 30, 16);
      p.Arrow(16, 16, 29, 16, kOrange);
      p.Arrow(16, 16, 16, 6.5, kOrange);
      p.Dot(16, 16, 1.8, kDark);
      break;
    }
    case ToolFunction::kBlhXyz: {  // geodetic and Cartesian: globe with X, Y, Z axes
      p.Globe(15, 17, 11);
      p.Triad(15, 17, 14, kDark);
      p.Dot(22, 11, 2.2, kRed);
      break;
    }
    case ToolFunction::kGeodetic: {  // geodetic problem: a line between two points on the globe
      p.Globe(16, 16, 14);
      p.Pen(kOrange, 1.4);
      p.NoFill();
      wxGraphicsPath arc = p.gc()->CreatePath();
      arc.MoveToPoint(7, 21);
      arc.AddQuadCurveToPoint(14, 4, 25, 10);
      p.gc()->StrokePath(arc);
      p.Dot(7, 21, 2.6, kRed);
      p.Dot(25, 10, 2.6, kRed);
      break;
    }
    case ToolFunction::kPlaneCoordinates: {  // plane problem: distance and azimuth on the grid
      p.Pen(kGreen, 0.8);
      p.Fill(kLightGreen);
      p.Rect(3, 3, 26, 26);
      p.Arrow(8, 25, 8, 6, kDark);  // north (x)
      p.Pen(kOrange, 1.3);
      p.Line(8, 25, 25, 11);
      p.Dot(8, 25, 2.4, kRed);
      p.Dot(25, 11, 2.4, kRed);
      break;
    }
    case ToolFunction::kGauss: {  // Gauss projection: a zone laid out on the plane grid
      p.Pen(kGreen, 0.8);
      p.Fill(kLightGreen);
      p.Rect(3, 4, 26, 24);
      p.Pen(kGreen, 0.6);
      for (double x = 9.5; x < 29; x += 6.5) p.Line(x, 4, x, 28);
      for (double y = 10; y < 28; y += 6) p.Line(3, y, 29, y);
      p.Zone(16, 2, 30, 5.5, kOrange, wxColour(252, 226, 196));
      break;
    }
    case ToolFunction::kZoneChange: {  // zone change: from one zone to the next
      p.Zone(9, 3, 29, 5, kBlue, kLightBlue);
      p.Zone(23, 3, 29, 5, kGreen, kLightGreen);
      p.Arrow(10, 16, 22, 16, kOrange);
      break;
    }
    case ToolFunction::kSevenSolve:    // seven parameters solved: two space systems and the result
    case ToolFunction::kSevenApply: {  // seven parameters applied: one space system onto the other
      p.Triad(10, 22, 11, kBlue);
      p.Triad(21, 13, 9, kGreen);
      if (function == ToolFunction::kSevenSolve) {
        p.SolveBadge(25, 25);
      } else {
        p.Arrow(10, 22, 19.5, 14.2, kOrange);
      }
      break;
    }
    case ToolFunction::kFourSolve:    // four parameters solved: two plane systems and the result
    case ToolFunction::kFourApply: {  // four parameters applied: one plane system onto the other
      p.Axes2(4, 28, 17, kBlue);
      p.gc()->PushState();
      p.gc()->Translate(12, 19);
      p.gc()->Rotate(-0.35);
      p.Axes2(0, 0, 13, kGreen);
      p.gc()->PopState();
      if (function == ToolFunction::kFourSolve) {
        p.SolveBadge(25, 25);
      } else {
        p.Arrow(4.5, 27.5, 11, 19.8, kOrange);
      }
      break;
    }
  }
}

template <typename Draw>
wxBitmap Paint(int size, Draw draw) {
  wxImage image(size, size);
  image.InitAlpha();
  unsigned char* alpha = image.GetAlpha();
  for (int i = 0; i < size * size; ++i) alpha[i] = 0;
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) {
      Painter painter(gc.get(), size);
      draw(painter);
    }
  }
  return wxBitmap(image);
}

}  // namespace

wxBitmap FunctionIcon(ToolFunction function, int size) {
  return Paint(size, [function](Painter& p) { DrawFunction(p, function); });
}

wxBitmap ProgramBitmap(int size) {
  return Paint(size, [](Painter& p) {
    p.Pen(kBlue);
    p.Fill(kLightBlue);
    p.Ellipse(16, 16, 14, 14);
    p.NoFill();
    p.Pen(kBlue, 0.7);
    p.Ellipse(16, 16, 6, 14);
    p.Ellipse(16, 16, 11, 14);
    p.Line(2, 16, 30, 16);
    p.Line(4.5, 9, 27.5, 9);
    p.Line(4.5, 23, 27.5, 23);
    p.Pen(kOrange, 1.5);
    p.Line(16, 2, 16, 30);
    p.Dot(22, 12, 2.6, kRed);
  });
}

wxIconBundle ProgramIcons() {
  wxIconBundle bundle;
  for (int size : {16, 32, 48}) {
    wxIcon icon;
    icon.CopyFromBitmap(ProgramBitmap(size));
    bundle.AddIcon(icon);
  }
  return bundle;
}

}  // namespace georeckon
