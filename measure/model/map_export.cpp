#include "measure/model/map_export.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "common/atomic_file.h"
#include "common/strformat.h"

namespace vistamet {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Text on the page: 3.5 mm high (map units).
constexpr double kTextHeight = 350;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0 text.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
    }
  }
  return out;
}

std::string SvgColour(uint32_t c) {
  return common::StrFormat("#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
}

// Draws in map units into an SVG whose y runs down: y_svg = -y_map.
class SvgSink : public DrawSink {
 public:
  std::string body;
  void Line(double x1, double y1, double x2, double y2, double w, uint32_t c) override {
    body += common::StrFormat(
        "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
        "stroke-width=\"%.1f\" stroke-linecap=\"round\"/>\n",
        x1, -y1, x2, -y2, SvgColour(c).c_str(), w);
  }
  void Arc(double cx, double cy, double r, double a0, double a1, double w, uint32_t c) override {
    double sweep = std::fmod(a1 - a0, 2 * kPi);
    if (sweep <= 0) sweep += 2 * kPi;
    // Counter-clockwise with y up is sweep flag 0 once y points down.
    body += common::StrFormat(
        "<path d=\"M %.1f %.1f A %.1f %.1f 0 %d 0 %.1f %.1f\" fill=\"none\" stroke=\"%s\" "
        "stroke-width=\"%.1f\"/>\n",
        cx + r * std::cos(a0), -(cy + r * std::sin(a0)), r, r, sweep > kPi ? 1 : 0,
        cx + r * std::cos(a1), -(cy + r * std::sin(a1)), SvgColour(c).c_str(), w);
  }
  void Circle(double cx, double cy, double r, double w, uint32_t c, Fill fill) override {
    const std::string f = fill == Fill::kNone    ? "none"
                          : fill == Fill::kWhite ? "#ffffff"
                                                 : SvgColour(c);
    body += common::StrFormat(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"%s\" stroke=\"%s\" "
        "stroke-width=\"%.1f\"/>\n",
        cx, -cy, r, f.c_str(), SvgColour(c).c_str(), w);
  }
  void Text(double x, double y, const std::string& text, uint32_t c) override {
    body += common::StrFormat(
        "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.0f\" font-family=\"sans-serif\" "
        "fill=\"%s\">%s</text>\n",
        x, -y + 0.8 * kTextHeight, kTextHeight, SvgColour(c).c_str(), XmlEscape(text).c_str());
  }
};

// --- PDF ---

// UTF-8 to UTF-16 code units; a broken sequence becomes U+FFFD.
std::u16string Utf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = s[i];
    uint32_t cp = 0xFFFD;
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      ++i;
    } else {
      cp = len == 1 ? b : b & (0x7F >> len);
      for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
      i += len;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

// Draws in map units into a PDF content stream whose matrix maps them to
// points with y up, as the map itself.
class PdfSink : public DrawSink {
 public:
  std::string ops;
  void Line(double x1, double y1, double x2, double y2, double w, uint32_t c) override {
    Stroke(w, c);
    ops += common::StrFormat("%.1f %.1f m %.1f %.1f l S\n", x1, y1, x2, y2);
  }
  void Arc(double cx, double cy, double r, double a0, double a1, double w, uint32_t c) override {
    double sweep = std::fmod(a1 - a0, 2 * kPi);
    if (sweep <= 0) sweep += 2 * kPi;
    Stroke(w, c);
    ops += common::StrFormat("%.1f %.1f m\n", cx + r * std::cos(a0), cy + r * std::sin(a0));
    Curves(cx, cy, r, a0, sweep);
    ops += "S\n";
  }
  void Circle(double cx, double cy, double r, double w, uint32_t c, Fill fill) override {
    Stroke(w, c);
    if (fill == Fill::kWhite) ops += "1 1 1 rg\n";
    if (fill == Fill::kColour) ops += Rgb(c) + " rg\n";
    ops += common::StrFormat("%.1f %.1f m\n", cx + r, cy);
    Curves(cx, cy, r, 0, 2 * kPi);
    ops += fill == Fill::kNone ? "S\n" : "B\n";
  }
  void Text(double x, double y, const std::string& text, uint32_t c) override {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char ch) { return ch >= 0x20 && ch < 0x7F; });
    std::string shown;
    if (ascii) {
      shown = "(";
      for (char ch : text) {
        if (ch == '(' || ch == ')' || ch == '\\') shown += '\\';
        shown += ch;
      }
      shown += ")";
    } else {
      shown = "<";
      for (char16_t u : Utf16(text)) shown += common::StrFormat("%04X", static_cast<unsigned>(u));
      shown += ">";
    }
    ops += common::StrFormat("BT /%s %.0f Tf %s rg %.1f %.1f Td %s Tj ET\n", ascii ? "F1" : "F2",
                             kTextHeight, Rgb(c).c_str(), x, y - 0.8 * kTextHeight,
                             shown.c_str());
  }

 private:
  static std::string Rgb(uint32_t c) {
    return common::StrFormat("%.3f %.3f %.3f", RedOf(c) / 255.0, GreenOf(c) / 255.0,
                             BlueOf(c) / 255.0);
  }
  void Stroke(double w, uint32_t c) {
    ops += common::StrFormat("%.1f w 1 J %s RG\n", w, Rgb(c).c_str());
  }
  // Cubic Bezier pieces of at most a quarter turn from angle a0 by `sweep`.
  void Curves(double cx, double cy, double r, double a0, double sweep) {
    const int n = std::max(1, static_cast<int>(std::ceil(sweep / (kPi / 2) - 1e-9)));
    const double step = sweep / n, h = 4.0 / 3.0 * std::tan(step / 4) * r;
    for (int k = 0; k < n; ++k) {
      const double s = a0 + k * step, e = s + step;
      ops += common::StrFormat(
          "%.1f %.1f %.1f %.1f %.1f %.1f c\n", cx + r * std::cos(s) - h * std::sin(s),
          cy + r * std::sin(s) + h * std::cos(s), cx + r * std::cos(e) + h * std::sin(e),
          cy + r * std::sin(e) - h * std::cos(e), cx + r * std::cos(e), cy + r * std::sin(e));
    }
  }
};

std::string PdfDocument(const std::string& content, double width_pt, double height_pt,
                        double unit_pt, double top_units) {
  const std::string stream =
      common::StrFormat("%.6f 0 0 %.6f 0 %.3f cm\n", unit_pt, unit_pt, top_units * unit_pt) +
      content;
  const std::string objects[] = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      common::StrFormat("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %.2f %.2f] "
                        "/Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> /Contents 4 0 R >>",
                        width_pt, height_pt),
      common::StrFormat("<< /Length %zu >>\nstream\n", stream.size()) + stream + "endstream",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
      "<< /Type /Font /Subtype /Type0 /BaseFont /STSong-Light /Encoding /UniGB-UTF16-H "
      "/DescendantFonts [7 0 R] >>",
      "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /STSong-Light "
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (GB1) /Supplement 2 >> "
      "/FontDescriptor 8 0 R >>",
      "<< /Type /FontDescriptor /FontName /STSong-Light /Flags 6 "
      "/FontBBox [-25 -254 1000 880] /ItalicAngle 0 /Ascent 880 /Descent -120 "
      "/CapHeight 880 /StemV 93 >>",
  };
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  int number = 1;
  for (const std::string& o : objects) {
    offsets.push_back(pdf.size());
    pdf += common::StrFormat("%d 0 obj\n", number++) + o + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += common::StrFormat("xref\n0 %zu\n0000000000 65535 f \n", offsets.size() + 1);
  for (size_t off : offsets) pdf += common::StrFormat("%010zu 00000 n \n", off);
  pdf += common::StrFormat("trailer\n<< /Size %zu /Root 1 0 R >>\nstartxref\n%zu\n%%%%EOF\n",
                           offsets.size() + 1, xref);
  return pdf;
}

}  // namespace

MapFileKind MapFileKindOf(const std::string& path) {
  const std::string p = Lower(path);
  auto ends = [&p](const char* ext) {
    const std::string e(ext);
    return p.size() > e.size() && p.compare(p.size() - e.size(), e.size(), e) == 0;
  };
  if (ends(".svg")) return MapFileKind::kSvg;
  if (ends(".pdf")) return MapFileKind::kPdf;
  if (ends(".dxf")) return MapFileKind::kDxf;
  return MapFileKind::kUnknown;
}

std::string PlanMapSvg(CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                       const std::string& time_text) {
  SvgSink sink;
  const MapProjection proj = PaintPlanMap(doc, view, symbols, time_text, sink);
  int64_t w, h;
  proj.DrawingSize(&w, &h);
  return common::StrFormat(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.2fmm\" height=\"%.2fmm\" "
             "viewBox=\"0 0 %lld %lld\">\n<rect x=\"0\" y=\"0\" width=\"%lld\" height=\"%lld\" "
             "fill=\"#ffffff\"/>\n",
             w * 0.01, h * 0.01, static_cast<long long>(w), static_cast<long long>(h),
             static_cast<long long>(w), static_cast<long long>(h)) +
         sink.body + "</svg>\n";
}

std::string PlanMapPdf(CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                       const std::string& time_text) {
  PdfSink sink;
  const MapProjection proj = PaintPlanMap(doc, view, symbols, time_text, sink);
  int64_t w, h;
  proj.DrawingSize(&w, &h);
  const double unit_pt = 0.01 / 25.4 * 72.0;  // one map unit (0.01 mm) in points
  return PdfDocument(sink.ops, w * unit_pt, h * unit_pt, unit_pt, static_cast<double>(h));
}

// --- DXF ---

namespace {

// The nearest of the seven basic drawing colours.
int AciOf(uint32_t c) {
  static constexpr struct { int aci, r, g, b; } kBasic[] = {
      {1, 255, 0, 0}, {2, 255, 255, 0}, {3, 0, 255, 0},   {4, 0, 255, 255},
      {5, 0, 0, 255}, {6, 255, 0, 255}, {7, 0, 0, 0},     {7, 255, 255, 255}};
  int best = 7;
  long best_d = -1;
  for (const auto& k : kBasic) {
    const long dr = RedOf(c) - k.r, dg = GreenOf(c) - k.g, db = BlueOf(c) - k.b;
    const long d = dr * dr + dg * dg + db * db;
    if (best_d < 0 || d < best_d) best_d = d, best = k.aci;
  }
  return best;
}

class DxfOut {
 public:
  std::string text;
  void Pair(int code, const std::string& value) {
    text += common::StrFormat("%3d\n%s\n", code, value.c_str());
  }
  void Pair(int code, int value) { Pair(code, common::StrFormat("%d", value)); }
  void Num(int code, double value) { Pair(code, common::StrFormat("%.4f", value)); }
  void Point(int base, double x, double y) {
    Num(base, x);
    Num(base + 10, y);
    Num(base + 20, 0.0);
  }
};

void DxfLayer(DxfOut& out, const std::string& name, int colour) {
  out.Pair(0, "LAYER");
  out.Pair(2, name);
  out.Pair(70, 0);
  out.Pair(62, colour);
  out.Pair(6, "CONTINUOUS");
}

void DxfTables(DxfOut& out, const std::set<int>& kinds) {
  out.Pair(0, "SECTION");
  out.Pair(2, "TABLES");
  out.Pair(0, "TABLE");
  out.Pair(2, "LTYPE");
  out.Pair(70, 1);
  out.Pair(0, "LTYPE");
  out.Pair(2, "CONTINUOUS");
  out.Pair(70, 0);
  out.Pair(3, "Solid line");
  out.Pair(72, 65);
  out.Pair(73, 0);
  out.Num(40, 0.0);
  out.Pair(0, "ENDTAB");
  out.Pair(0, "TABLE");
  out.Pair(2, "LAYER");
  out.Pair(70, static_cast<int>(kinds.size()) + 3);
  DxfLayer(out, "0", 7);
  DxfLayer(out, "POINTS", 6);
  DxfLayer(out, "DISTANCES", 5);
  for (int t : kinds) DxfLayer(out, common::StrFormat("SYMBOL_%d", t), 1);
  out.Pair(0, "ENDTAB");
  out.Pair(0, "ENDSEC");
}

// One block per symbol kind used, drawn in symbol units with its offset.
void DxfBlock(DxfOut& out, int type, const VectorSymbol& s) {
  const std::string name = common::StrFormat("SYMBOL_%d", type);
  out.Pair(0, "BLOCK");
  out.Pair(8, "0");
  out.Pair(2, name);
  out.Pair(70, 0);
  out.Point(10, 0, 0);
  out.Pair(3, name);
  const double ox = s.offset[0], oy = s.offset[1];
  for (const SymbolElement& e : s.elements) {
    const auto& p = e.p;
    if (e.kind == kSymbolLine) {
      out.Pair(0, "LINE");
      out.Pair(8, "0");
      out.Pair(62, 0);  // by block: the insert's colour
      out.Point(10, p[0] + ox, p[1] + oy);
      out.Point(11, p[3] + ox, p[4] + oy);
    } else if (e.kind == kSymbolArc) {
      out.Pair(0, "ARC");
      out.Pair(8, "0");
      out.Pair(62, 0);
      out.Point(10, p[0] + ox, p[1] + oy);
      out.Num(40, p[5]);
      out.Num(50, p[3] * 180.0 / kPi);
      out.Num(51, p[4] * 180.0 / kPi);
    } else if (e.kind == kSymbolCircle || e.kind == kSymbolDisc) {
      out.Pair(0, "CIRCLE");
      out.Pair(8, "0");
      out.Pair(62, 0);
      out.Point(10, p[0] + ox, p[1] + oy);
      out.Num(40, p[5]);
    }
  }
  out.Pair(0, "ENDBLK");
  out.Pair(8, "0");
}

void DxfEntities(DxfOut& out, const CVistametDoc& doc, const SymbolLibrary& symbols,
                 double theta) {
  auto plane_y = [theta](double Y, double Z) { return Y * std::cos(theta) - Z * std::sin(theta); };
  const double text_height = 2.5 * SaneMapScale(doc.mapScale);
  out.Pair(0, "SECTION");
  out.Pair(2, "ENTITIES");
  for (const SpacePoint& s : doc.spacePoints) {
    out.Pair(0, "POINT");
    out.Pair(8, "POINTS");
    out.Point(10, s.X, plane_y(s.Y, s.Z));
    out.Pair(0, "TEXT");
    out.Pair(8, "POINTS");
    out.Point(10, s.X, plane_y(s.Y, s.Z));
    out.Num(40, text_height);
    out.Pair(1, common::StrFormat("%d", s.pointNumber));
  }
  const SpacePointIndex index(doc);
  for (int i = 0; i < doc.DistanceCount(); ++i) {
    const SpacePoint *a = nullptr, *b = nullptr;
    if (!index.DistanceEnds(i, &a, &b)) continue;
    const SpacePoint& p = *a;
    const SpacePoint& q = *b;
    out.Pair(0, "LINE");
    out.Pair(8, "DISTANCES");
    out.Point(10, p.X, plane_y(p.Y, p.Z));
    out.Point(11, q.X, plane_y(q.Y, q.Z));
  }
  for (const MapFeature& f : doc.mapFeatures) {
    const VectorSymbol* s = symbols.Drawable(f.symbolType);
    if (!s) continue;
    // One symbol unit is 20 mm of the object times the feature's scale.
    const double scale = 20.0 * f.scale * s->scale;
    out.Pair(0, "INSERT");
    out.Pair(8, common::StrFormat("SYMBOL_%d", f.symbolType));
    out.Pair(62, AciOf(f.colour));
    out.Pair(2, common::StrFormat("SYMBOL_%d", f.symbolType));
    out.Point(10, f.X, plane_y(f.Y, f.Z));
    out.Num(41, scale);
    out.Num(42, scale);
    out.Num(43, scale);
    out.Num(50, f.rotation * 180.0 / kPi);
  }
  out.Pair(0, "ENDSEC");
}

}  // namespace

std::string PlanMapDxf(const CVistametDoc& doc, const SymbolLibrary& symbols) {
  MapProjection proj;
  if (!proj.Set(doc, MapViewState{})) return {};
  std::set<int> kinds;
  for (const MapFeature& f : doc.mapFeatures)
    if (symbols.Drawable(f.symbolType)) kinds.insert(f.symbolType);
  DxfOut out;
  out.Pair(999, "Vistamet plan map, object coordinates in mm");
  out.Pair(0, "SECTION");
  out.Pair(2, "HEADER");
  out.Pair(9, "$ACADVER");
  out.Pair(1, "AC1009");
  out.Pair(9, "$INSUNITS");
  out.Pair(70, 4);  // millimetres
  out.Pair(0, "ENDSEC");
  DxfTables(out, kinds);
  out.Pair(0, "SECTION");
  out.Pair(2, "BLOCKS");
  for (int t : kinds) DxfBlock(out, t, *symbols.Drawable(t));
  out.Pair(0, "ENDSEC");
  DxfEntities(out, doc, symbols, proj.Theta());
  out.Pair(0, "EOF");
  return out.text;
}

int ExportPlanMap(const CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                  const std::string& path, std::string* error) {
  const MapFileKind kind = MapFileKindOf(path);
  if (kind == MapFileKind::kUnknown) {
    if (error) *error = path + ": 文件类型须为 .pdf、.svg 或 .dxf";
    return 0;
  }
  MapProjection check;
  if (!check.Set(doc, view)) {
    if (error) *error = "没有可用的投影平面点";
    return 0;
  }
  CVistametDoc copy = MapSnapshot(doc);  // painting recomputes the map positions
  const std::string time = MapTimeText();
  const std::string bytes = kind == MapFileKind::kSvg   ? PlanMapSvg(copy, view, symbols, time)
                            : kind == MapFileKind::kPdf ? PlanMapPdf(copy, view, symbols, time)
                                                        : PlanMapDxf(doc, symbols);
  return common::SaveFileAtomically(path, bytes, error) ? 1 : 0;
}

}  // namespace vistamet
