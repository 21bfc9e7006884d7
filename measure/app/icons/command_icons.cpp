#include "measure/app/icons/command_icons.h"

#include <cmath>
#include <functional>
#include <memory>

#include <wx/artprov.h>
#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "measure/app/command_ids.h"

namespace vistamet {

namespace {

// The palette of the set.
const wxColour kInk(46, 52, 64);
const wxColour kBlue(47, 111, 181);
const wxColour kLightBlue(170, 204, 240);
const wxColour kRed(208, 52, 44);
const wxColour kGreen(46, 139, 58);
const wxColour kLightGreen(178, 222, 170);
const wxColour kYellow(232, 177, 0);
const wxColour kPaper(250, 250, 246);
const wxColour kGrey(150, 154, 160);
const wxColour kBrown(150, 100, 50);

using Painter = std::function<void(wxGraphicsContext&)>;

// Draws in a 16 x 16 unit square scaled to `size` pixels, on a transparent
// background.
wxBitmap Render(int size, const Painter& paint) {
  wxImage image(size, size);
  image.InitAlpha();
  unsigned char* alpha = image.GetAlpha();
  std::fill(alpha, alpha + size * size, 0);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->Scale(size / 16.0, size / 16.0);
    paint(*gc);
  }
  return wxBitmap(image);
}

void Pen(wxGraphicsContext& gc, const wxColour& c, double width = 1.0) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(c).Width(width)));
}

void Fill(wxGraphicsContext& gc, const wxColour& c) { gc.SetBrush(wxBrush(c)); }

void NoFill(wxGraphicsContext& gc) { gc.SetBrush(*wxTRANSPARENT_BRUSH); }

void Line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2) {
  gc.StrokeLine(x1, y1, x2, y2);
}

// The measurement mark used across the set: a red plus sign.
void PointMark(wxGraphicsContext& gc, double x, double y, double r = 2.5) {
  Pen(gc, kRed, 1.4);
  Line(gc, x - r, y, x + r, y);
  Line(gc, x, y - r, x, y + r);
}

void Cross(wxGraphicsContext& gc, double x, double y, double r, const wxColour& c) {
  Pen(gc, c, 1.8);
  Line(gc, x - r, y - r, x + r, y + r);
  Line(gc, x - r, y + r, x + r, y - r);
}

void Magnifier(wxGraphicsContext& gc, bool plus) {
  Pen(gc, kInk, 1.2);
  Fill(gc, kLightBlue);
  gc.DrawEllipse(1.5, 1.5, 9, 9);
  Pen(gc, kInk, 2.4);
  Line(gc, 9.2, 9.2, 14, 14);
  Pen(gc, kBlue, 1.5);
  Line(gc, 3.8, 6, 8.2, 6);
  if (plus) Line(gc, 6, 3.8, 6, 8.2);
}

void Pencil(wxGraphicsContext& gc) {
  wxGraphicsPath body = gc.CreatePath();
  body.MoveToPoint(13.5, 3.5);
  body.AddLineToPoint(15, 5);
  body.AddLineToPoint(8, 12);
  body.AddLineToPoint(6.5, 10.5);
  body.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kYellow);
  gc.DrawPath(body);
  wxGraphicsPath tip = gc.CreatePath();
  tip.MoveToPoint(6.5, 10.5);
  tip.AddLineToPoint(8, 12);
  tip.AddLineToPoint(5.5, 13);
  tip.CloseSubpath();
  Fill(gc, kInk);
  gc.DrawPath(tip);
}

void DrawDataList(wxGraphicsContext& gc) {
  Pen(gc, kInk, 1);
  Fill(gc, kPaper);
  gc.DrawRectangle(1.5, 2.5, 13, 11);
  Fill(gc, kBlue);
  gc.DrawRectangle(1.5, 2.5, 13, 3);
  Pen(gc, kGrey, 0.8);
  for (double y : {8.0, 10.5}) Line(gc, 2, y, 14, y);
  Line(gc, 6, 5.5, 6, 13.5);
}

void DrawPlanMap(wxGraphicsContext& gc) {
  wxGraphicsPath map = gc.CreatePath();
  map.MoveToPoint(1.5, 3.5);
  map.AddLineToPoint(5.5, 2);
  map.AddLineToPoint(10.5, 3.5);
  map.AddLineToPoint(14.5, 2);
  map.AddLineToPoint(14.5, 12.5);
  map.AddLineToPoint(10.5, 14);
  map.AddLineToPoint(5.5, 12.5);
  map.AddLineToPoint(1.5, 14);
  map.CloseSubpath();
  Pen(gc, kInk, 1);
  Fill(gc, kLightGreen);
  gc.DrawPath(map);
  Pen(gc, kGreen, 0.8);
  Line(gc, 5.5, 2, 5.5, 12.5);
  Line(gc, 10.5, 3.5, 10.5, 14);
  Pen(gc, kBlue, 1.2);
  Line(gc, 2.5, 10, 7, 6.5);
  Line(gc, 7, 6.5, 13, 8);
}

void DrawModel3D(wxGraphicsContext& gc) {
  wxGraphicsPath top = gc.CreatePath();
  top.MoveToPoint(8, 1.5);
  top.AddLineToPoint(14.5, 4.5);
  top.AddLineToPoint(8, 7.5);
  top.AddLineToPoint(1.5, 4.5);
  top.CloseSubpath();
  wxGraphicsPath left = gc.CreatePath();
  left.MoveToPoint(1.5, 4.5);
  left.AddLineToPoint(8, 7.5);
  left.AddLineToPoint(8, 14.5);
  left.AddLineToPoint(1.5, 11.5);
  left.CloseSubpath();
  wxGraphicsPath right = gc.CreatePath();
  right.MoveToPoint(14.5, 4.5);
  right.AddLineToPoint(8, 7.5);
  right.AddLineToPoint(8, 14.5);
  right.AddLineToPoint(14.5, 11.5);
  right.CloseSubpath();
  Pen(gc, kInk, 0.9);
  Fill(gc, kLightBlue);
  gc.DrawPath(top);
  Fill(gc, kBlue);
  gc.DrawPath(left);
  Fill(gc, wxColour(32, 80, 140));
  gc.DrawPath(right);
}

void DrawEditPoint(wxGraphicsContext& gc) {
  PointMark(gc, 5, 5, 3.5);
  Pencil(gc);
}

void DrawClearNumber(wxGraphicsContext& gc) {
  PointMark(gc, 4.5, 4.5, 3);
  // The number being wiped: a green tag under an eraser.
  Pen(gc, kGreen, 1.3);
  Line(gc, 7.5, 6, 7.5, 11);
  Line(gc, 10, 6, 10, 11);
  Line(gc, 6.5, 7.5, 11, 7.5);
  Line(gc, 6.5, 9.5, 11, 9.5);
  wxGraphicsPath eraser = gc.CreatePath();
  eraser.MoveToPoint(9, 13);
  eraser.AddLineToPoint(13, 9);
  eraser.AddLineToPoint(15, 11);
  eraser.AddLineToPoint(11, 15);
  eraser.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, wxColour(240, 150, 160));
  gc.DrawPath(eraser);
}

void DrawDeletePoint(wxGraphicsContext& gc) {
  PointMark(gc, 5, 5, 3.5);
  Cross(gc, 11, 11, 3, kInk);
}

void DrawDeleteSpacePoint(wxGraphicsContext& gc) {
  Pen(gc, kInk, 0.9);
  Fill(gc, kBlue);
  gc.DrawEllipse(1.5, 1.5, 9, 9);
  Fill(gc, kLightBlue);
  gc.DrawEllipse(3.5, 3, 3, 3);
  Cross(gc, 11.5, 11.5, 2.8, kRed);
}

void DrawAddPoint(wxGraphicsContext& gc) {
  PointMark(gc, 5.5, 5.5, 4);
  Pen(gc, kGreen, 2.2);
  Line(gc, 11.5, 8.5, 11.5, 15);
  Line(gc, 8.25, 11.75, 14.75, 11.75);
}

void DrawRectangleCorners(wxGraphicsContext& gc) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(kInk).Width(1).Style(wxPENSTYLE_SHORT_DASH)));
  NoFill(gc);
  gc.DrawRectangle(3, 4, 10, 8);
  Fill(gc, kRed);
  Pen(gc, kRed, 0.5);
  for (auto [x, y] : {std::pair{3.0, 4.0}, {13.0, 4.0}, {13.0, 12.0}, {3.0, 12.0}})
    gc.DrawEllipse(x - 1.8, y - 1.8, 3.6, 3.6);
}

void DrawSweep(wxGraphicsContext& gc) {
  Pen(gc, kBrown, 1.6);
  Line(gc, 14, 1.5, 7.5, 8);
  wxGraphicsPath head = gc.CreatePath();
  head.MoveToPoint(6, 6.5);
  head.AddLineToPoint(9.5, 10);
  head.AddLineToPoint(5, 14.5);
  head.AddLineToPoint(1.5, 11);
  head.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kYellow);
  gc.DrawPath(head);
  Pen(gc, kBrown, 0.7);
  Line(gc, 3, 12.5, 6.5, 9);
  Line(gc, 4.3, 13.8, 7.8, 10.3);
}

void DrawOptions(wxGraphicsContext& gc) {
  // A gear: eight teeth around a ring.
  wxGraphicsPath gear = gc.CreatePath();
  const double cx = 8, cy = 8;
  for (int i = 0; i < 16; ++i) {
    const double a0 = (i - 0.5) * M_PI / 8, a1 = (i + 0.5) * M_PI / 8;
    const double r = (i % 2 == 0) ? 7.0 : 5.2;
    if (i == 0) gear.MoveToPoint(cx + r * std::cos(a0), cy + r * std::sin(a0));
    else gear.AddLineToPoint(cx + r * std::cos(a0), cy + r * std::sin(a0));
    gear.AddLineToPoint(cx + r * std::cos(a1), cy + r * std::sin(a1));
  }
  gear.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kGrey);
  gc.DrawPath(gear);
  Fill(gc, kPaper);
  gc.DrawEllipse(cx - 2.2, cy - 2.2, 4.4, 4.4);
}

void DrawAdjust(wxGraphicsContext& gc) {
  // A network of rays: three stations and the points they see.
  const double pts[4][2] = {{2.5, 13}, {8, 2.5}, {13.5, 12}, {8, 9}};
  Pen(gc, kBlue, 1.1);
  for (int i = 0; i < 3; ++i) {
    Line(gc, pts[i][0], pts[i][1], pts[(i + 1) % 3][0], pts[(i + 1) % 3][1]);
    Line(gc, pts[i][0], pts[i][1], pts[3][0], pts[3][1]);
  }
  Pen(gc, kInk, 0.8);
  Fill(gc, kYellow);
  for (const auto& p : pts) gc.DrawEllipse(p[0] - 1.8, p[1] - 1.8, 3.6, 3.6);
}

void DrawMeasureDistance(wxGraphicsContext& gc) {
  gc.PushState();
  gc.Translate(8, 8);
  gc.Rotate(-M_PI / 4);
  Pen(gc, kInk, 0.8);
  Fill(gc, kYellow);
  gc.DrawRectangle(-7.5, -2.5, 15, 5);
  Pen(gc, kInk, 0.7);
  for (int i = -6; i <= 6; i += 2) Line(gc, i, -2.5, i, i % 4 == 0 ? 0.5 : -0.5);
  gc.PopState();
}

void DrawPlanePoint(wxGraphicsContext& gc) {
  wxGraphicsPath plane = gc.CreatePath();
  plane.MoveToPoint(4.5, 8);
  plane.AddLineToPoint(15, 8);
  plane.AddLineToPoint(11.5, 14.5);
  plane.AddLineToPoint(1, 14.5);
  plane.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kLightGreen);
  gc.DrawPath(plane);
  Pen(gc, kInk, 1.1);
  Line(gc, 8, 11.5, 8, 5);
  Fill(gc, kRed);
  Pen(gc, kInk, 0.8);
  gc.DrawEllipse(5.5, 0.8, 5, 5);
}

void DrawGeoReckon(wxGraphicsContext& gc) {
  Pen(gc, kInk, 0.9);
  Fill(gc, kLightBlue);
  gc.DrawEllipse(1.5, 1.5, 13, 13);
  Pen(gc, kBlue, 0.9);
  NoFill(gc);
  gc.DrawEllipse(5, 1.5, 6, 13);
  Line(gc, 8, 1.5, 8, 14.5);
  Line(gc, 1.5, 8, 14.5, 8);
  Line(gc, 2.8, 4.8, 13.2, 4.8);
  Line(gc, 2.8, 11.2, 13.2, 11.2);
}

void DrawHeightFit(wxGraphicsContext& gc) {
  wxGraphicsPath hill = gc.CreatePath();
  hill.MoveToPoint(0.5, 14.5);
  hill.AddLineToPoint(6, 4);
  hill.AddLineToPoint(9, 9);
  hill.AddLineToPoint(11, 6);
  hill.AddLineToPoint(15.5, 14.5);
  hill.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kLightGreen);
  gc.DrawPath(hill);
  Pen(gc, kBrown, 0.9);
  Line(gc, 3.5, 9.5, 12.8, 10.5);
  Line(gc, 2, 12.5, 14.4, 12.5);
  Fill(gc, kRed);
  Pen(gc, kRed, 0.5);
  gc.DrawEllipse(5, 3, 2, 2);
}

void DrawCalculator(wxGraphicsContext& gc) {
  Pen(gc, kInk, 0.9);
  Fill(gc, kGrey);
  gc.DrawRoundedRectangle(2.5, 0.5, 11, 15, 1.5);
  Fill(gc, kLightGreen);
  gc.DrawRectangle(4, 2, 8, 3.5);
  Fill(gc, kPaper);
  Pen(gc, kInk, 0.5);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) gc.DrawRectangle(4 + c * 2.8, 7 + r * 2.7, 2.2, 2);
}

void DrawPaint(wxGraphicsContext& gc) {
  Pen(gc, kInk, 0.8);
  Fill(gc, kPaper);
  gc.DrawEllipse(1, 2, 14, 12);
  const wxColour dots[4] = {kRed, kYellow, kGreen, kBlue};
  const double xy[4][2] = {{4, 5}, {7.5, 4}, {11, 5.5}, {11.5, 9}};
  for (int i = 0; i < 4; ++i) {
    Fill(gc, dots[i]);
    Pen(gc, dots[i], 0.5);
    gc.DrawEllipse(xy[i][0] - 1.3, xy[i][1] - 1.3, 2.6, 2.6);
  }
  Pen(gc, kBrown, 1.6);
  Line(gc, 3, 13, 8, 8.5);
}

void DrawExtract(wxGraphicsContext& gc) {
  // A target: a dark triangle standing on its apex, with the found apex.
  wxGraphicsPath tri = gc.CreatePath();
  tri.MoveToPoint(2, 2.5);
  tri.AddLineToPoint(14, 2.5);
  tri.AddLineToPoint(8, 12.5);
  tri.CloseSubpath();
  Pen(gc, kInk, 0.8);
  Fill(gc, kInk);
  gc.DrawPath(tri);
  PointMark(gc, 8, 12.5, 3);
}

void DrawAbout(wxGraphicsContext& gc) {
  Pen(gc, kInk, 0.8);
  Fill(gc, kBlue);
  gc.DrawEllipse(1.5, 1.5, 13, 13);
  Pen(gc, *wxWHITE, 2);
  Line(gc, 8, 7, 8, 12);
  Fill(gc, *wxWHITE);
  Pen(gc, *wxWHITE, 0.5);
  gc.DrawEllipse(7, 3.5, 2, 2);
}

Painter PainterFor(int id) {
  switch (id) {
    case kCmdDataList: return DrawDataList;
    case kCmdPlanMap: return DrawPlanMap;
    case kCmdModel3D: return DrawModel3D;
    case kCmdZoomIn: return [](wxGraphicsContext& gc) { Magnifier(gc, true); };
    case kCmdZoomOut: return [](wxGraphicsContext& gc) { Magnifier(gc, false); };
    case kCmdEditPoint: return DrawEditPoint;
    case kCmdClearNumber: return DrawClearNumber;
    case kCmdDeletePoint: return DrawDeletePoint;
    case kCmdDeleteSpacePoint: return DrawDeleteSpacePoint;
    case kCmdAddPoint: return DrawAddPoint;
    case kCmdRectangleCorners: return DrawRectangleCorners;
    case kCmdSweepCurrent: return DrawSweep;
    case kCmdOptions: return DrawOptions;
    case kCmdAdjust: return DrawAdjust;
    case kCmdMeasureDistance: return DrawMeasureDistance;
    case kCmdPlanePoint: return DrawPlanePoint;
    case kCmdGeoReckon: return DrawGeoReckon;
    case kCmdHeightFit: return DrawHeightFit;
    case kCmdCalculator: return DrawCalculator;
    case kCmdPaint: return DrawPaint;
    case kCmdExtract: return DrawExtract;
    case wxID_ABOUT: return DrawAbout;
    default: return {};
  }
}

wxArtID StandardArt(int id) {
  switch (id) {
    case wxID_NEW: return wxART_NEW;
    case wxID_OPEN: return wxART_FILE_OPEN;
    case wxID_SAVE: return wxART_FILE_SAVE;
    case wxID_CUT: return wxART_CUT;
    case wxID_COPY: return wxART_COPY;
    case wxID_PASTE: return wxART_PASTE;
    case wxID_PRINT: return wxART_PRINT;
    case wxID_UNDO: return wxART_UNDO;
    case wxID_REDO: return wxART_REDO;
    default: return {};
  }
}

// Stand-ins for the standard images when the desktop has no icon theme: a
// page, with a mark per command.
void DrawStandardFallback(wxGraphicsContext& gc, int id) {
  Pen(gc, kInk, 0.9);
  Fill(gc, kPaper);
  gc.DrawRectangle(3, 1.5, 10, 13);
  Pen(gc, kBlue, 1.4);
  switch (id) {
    case wxID_SAVE: Fill(gc, kBlue); gc.DrawRectangle(5, 9, 6, 4); break;
    case wxID_OPEN: Fill(gc, kYellow); gc.DrawRectangle(1.5, 7, 13, 7); break;
    case wxID_PRINT: Fill(gc, kGrey); gc.DrawRectangle(1.5, 7, 13, 5); break;
    default: Line(gc, 5, 5, 11, 5); Line(gc, 5, 8, 11, 8); break;
  }
}

}  // namespace

wxBitmap CommandBitmap(int id, int size) {
  const wxArtID art = StandardArt(id);
  if (!art.empty()) {
    wxBitmap b = wxArtProvider::GetBitmap(art, wxART_TOOLBAR, wxSize(size, size));
    if (b.IsOk()) return b;
    return Render(size, [id](wxGraphicsContext& gc) { DrawStandardFallback(gc, id); });
  }
  const Painter painter = PainterFor(id);
  if (!painter) return wxNullBitmap;
  return Render(size, painter);
}

wxBitmap AppBitmap(int size) {
  return Render(size, [](wxGraphicsContext& gc) {
    Pen(gc, kInk, 0.6);
    Fill(gc, kBlue);
    gc.DrawRoundedRectangle(0.5, 0.5, 15, 15, 3);
    // A target on the control field, and the measuring cross on its apex.
    wxGraphicsPath tri = gc.CreatePath();
    tri.MoveToPoint(3, 3.5);
    tri.AddLineToPoint(13, 3.5);
    tri.AddLineToPoint(8, 11.5);
    tri.CloseSubpath();
    Pen(gc, *wxWHITE, 0.6);
    Fill(gc, *wxWHITE);
    gc.DrawPath(tri);
    Pen(gc, kRed, 1.3);
    Line(gc, 8, 9, 8, 14.5);
    Line(gc, 5.2, 11.5, 10.8, 11.5);
  });
}

wxIconBundle AppIcons() {
  wxIconBundle bundle;
  for (int size : {16, 32, 48, 64}) {
    wxIcon icon;
    icon.CopyFromBitmap(AppBitmap(size));
    bundle.AddIcon(icon);
  }
  return bundle;
}

}  // namespace vistamet
