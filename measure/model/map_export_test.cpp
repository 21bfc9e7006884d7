#include "measure/model/map_export.h"

#include <cmath>
#include <map>
#include <regex>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

// One DXF entity: its type and its group values (the last of each code).
struct DxfEntity {
  std::string type;
  std::multimap<int, std::string> groups;
  double Num(int code) const {
    auto it = groups.find(code);
    return it == groups.end() ? NAN : std::stod(it->second);
  }
  std::string Str(int code) const {
    auto it = groups.find(code);
    return it == groups.end() ? std::string() : it->second;
  }
};

// A reader of the ASCII DXF structure: pairs of a group code line and a
// value line. Fails the test on any malformed pair; returns the entities of
// each section by section name, and the block names.
struct DxfFile {
  std::map<std::string, std::vector<DxfEntity>> sections;
  bool ended = false;
};

DxfFile ParseDxf(const std::string& text) {
  DxfFile file;
  std::vector<std::pair<int, std::string>> pairs;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t a = text.find('\n', pos);
    const size_t b = a == std::string::npos ? a : text.find('\n', a + 1);
    EXPECT_NE(b, std::string::npos) << "a group code without a value at " << pos;
    if (b == std::string::npos) break;
    const std::string code = text.substr(pos, a - pos);
    EXPECT_TRUE(std::regex_match(code, std::regex(" *-?[0-9]+"))) << code;
    pairs.emplace_back(std::stoi(code), text.substr(a + 1, b - a - 1));
    pos = b + 1;
  }
  std::string section;
  for (const auto& [code, value] : pairs) {
    if (code == 0 && value == "SECTION") continue;
    if (code == 0 && value == "ENDSEC") {
      section.clear();
      continue;
    }
    if (code == 0 && value == "EOF") {
      file.ended = true;
      break;
    }
    if (code == 2 && section.empty()) {
      section = value;
      file.sections[section];
      continue;
    }
    if (code == 0) file.sections[section].push_back({value, {}});
    else if (!file.sections[section].empty()) file.sections[section].back().groups.emplace(code, value);
  }
  return file;
}

// Two points 1 m apart along X and a distance between them, in the plane
// Z = 0 through the plane point; one feature of symbol 2.
class MapExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddPoint(1, 0, 2000, 0, 1);
    AddPoint(2, 1000, 2000, 0, 0);
    AddPoint(3, 1000, 2000, 700, 0);  // 0.7 m above the plane: projected onto it
    doc_.planePoint = 1;
    doc_.planeSet = 1;
    doc_.adjusted = 1;
    doc_.mapScale = 100;
    doc_.mapShowTime = 0;
    doc_.mapTitle = "北立面 & <test>";
    doc_.distancePairs = {1, 2};
    MapFeature f;
    f.symbolType = 2;
    f.X = 500;
    f.Y = 2000;
    f.scale = 0.5f;
    f.rotation = 3.14159265f / 2;
    doc_.mapFeatures.push_back(f);
    symbols_.symbols.resize(2);
    symbols_.symbols[1].elements.push_back({kSymbolLine, {0, 0, 0, 10, 0, 0}});
    symbols_.symbols[1].elements.push_back({kSymbolArc, {0, 0, 0, 0, 1.5707964f, 5}});
    symbols_.symbols[1].elements.push_back({kSymbolCircle, {0, 0, 0, 0, 0, 3}});
  }
  void AddPoint(int32_t n, double x, double y, double z, int control) {
    doc_.spacePoints.push_back(testing::MakeSpacePoint(n, x, y, z, control, 2));
  }

  CVistametDoc doc_;
  SymbolLibrary symbols_;
};

TEST_F(MapExportTest, DxfReadsBackInObjectMillimetresOnTheirLayers) {
  const DxfFile dxf = ParseDxf(PlanMapDxf(doc_, symbols_));
  EXPECT_TRUE(dxf.ended);
  ASSERT_EQ(dxf.sections.count("ENTITIES"), 1u);
  std::vector<DxfEntity> points, texts, lines, inserts;
  for (const DxfEntity& e : dxf.sections.at("ENTITIES")) {
    if (e.type == "POINT") points.push_back(e);
    if (e.type == "TEXT") texts.push_back(e);
    if (e.type == "LINE") lines.push_back(e);
    if (e.type == "INSERT") inserts.push_back(e);
  }
  ASSERT_EQ(points.size(), 3u);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(points[1].Str(8), "POINTS");
  EXPECT_DOUBLE_EQ(points[1].Num(10), 1000);
  EXPECT_DOUBLE_EQ(points[1].Num(20), 2000);
  // theta0 = 0 here: y = Y, whatever the height above the plane.
  EXPECT_DOUBLE_EQ(points[2].Num(20), 2000);
  EXPECT_EQ(texts[1].Str(1), "2");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Str(8), "DISTANCES");
  EXPECT_DOUBLE_EQ(lines[0].Num(11) - lines[0].Num(10), 1000);  // 1 m in mm
  ASSERT_EQ(inserts.size(), 1u);
  EXPECT_EQ(inserts[0].Str(2), "SYMBOL_2");
  EXPECT_EQ(inserts[0].Str(8), "SYMBOL_2");
  EXPECT_DOUBLE_EQ(inserts[0].Num(41), 10);  // 20 mm per unit times 0.5
  EXPECT_NEAR(inserts[0].Num(50), 90, 1e-4);
  // The block exists with the symbol's elements.
  ASSERT_EQ(dxf.sections.count("BLOCKS"), 1u);
  const auto& blocks = dxf.sections.at("BLOCKS");
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0].type, "BLOCK");
  EXPECT_EQ(blocks[0].Str(2), "SYMBOL_2");
  int line = 0, arc = 0, circle = 0;
  for (const DxfEntity& e : blocks) {
    line += e.type == "LINE";
    arc += e.type == "ARC";
    circle += e.type == "CIRCLE";
    if (e.type == "ARC") {
      EXPECT_NEAR(e.Num(51), 90, 1e-3);
    }
  }
  EXPECT_EQ(line + arc + circle, 3);
  // Its layer is declared in the layer table.
  bool declared = false;
  for (const DxfEntity& e : dxf.sections.at("TABLES"))
    declared = declared || (e.type == "LAYER" && e.Str(2) == "SYMBOL_2");
  EXPECT_TRUE(declared);
}

TEST_F(MapExportTest, DxfUsesTheTiltedPlaneOfThePlanePoint) {
  doc_.spacePoints[0].Z = 2000;  // theta0 = atan(-1) + pi
  const DxfFile dxf = ParseDxf(PlanMapDxf(doc_, symbols_));
  const double t = std::atan(-1.0) + 3.14159265358979;
  const auto& entities = dxf.sections.at("ENTITIES");
  const DxfEntity* third = nullptr;
  int seen = 0;
  for (const DxfEntity& e : entities)
    if (e.type == "POINT" && ++seen == 3) third = &e;
  ASSERT_NE(third, nullptr);
  EXPECT_NEAR(third->Num(20), 2000 * std::cos(t) - 700 * std::sin(t), 1e-3);
  doc_.planeSet = 0;
  EXPECT_EQ(PlanMapDxf(doc_, symbols_), "");
}

TEST_F(MapExportTest, SvgIsThePageAtTrueScale) {
  CVistametDoc copy = doc_;
  const std::string svg = PlanMapSvg(copy, MapViewState{}, symbols_, "");
  EXPECT_NE(svg.find("北立面 &amp; &lt;test&gt;"), std::string::npos);
  // Width in mm equals the drawing in map units / 100.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex("width=\"([0-9.]+)mm\".*viewBox=\"0 0 ([0-9]+)")));
  EXPECT_NEAR(std::stod(m[1]) * 100, std::stod(m[2]), 1e-6);
  // The distance line is 1000 units (10 mm) long at 1:100.
  ASSERT_TRUE(std::regex_search(svg, m, std::regex("<line x1=\"([-0-9.]+)\" y1=\"[-0-9.]+\" x2=\"([-0-9.]+)\" y2=\"[-0-9.]+\" stroke=\"#0000ff\"")));
  EXPECT_DOUBLE_EQ(std::stod(m[2]) - std::stod(m[1]), 1000);
  EXPECT_NE(svg.find("<path d=\"M"), std::string::npos);  // the symbol's arc
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST_F(MapExportTest, PdfHasAValidCrossReferenceAndTrueScale) {
  CVistametDoc copy = doc_;
  const std::string pdf = PlanMapPdf(copy, MapViewState{}, symbols_, "");
  ASSERT_EQ(pdf.rfind("%PDF-1.4", 0), 0u);
  // startxref points at the xref table, and each entry at its object.
  const size_t sx = pdf.rfind("startxref\n");
  ASSERT_NE(sx, std::string::npos);
  const size_t xref = std::stoul(pdf.substr(sx + 10));
  ASSERT_EQ(pdf.compare(xref, 4, "xref"), 0);
  for (int n = 1; n <= 8; ++n) {
    const size_t entry = xref + std::string("xref\n0 9\n").size() + 20 * n;
    const size_t off = std::stoul(pdf.substr(entry, 10));
    EXPECT_EQ(pdf.compare(off, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
  }
  // The stream's length is what it claims.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m, std::regex("/Length ([0-9]+) >>\nstream\n")));
  const size_t start = m.position(0) + m.length(0);
  EXPECT_EQ(pdf.compare(start + std::stoul(m[1]), 9, "endstream"), 0);
  // One map unit is 0.01 mm = 0.0283465 pt.
  EXPECT_NE(pdf.find("0.028346 0 0 0.028346"), std::string::npos);
  // The Chinese title goes through the CJK font as UTF-16.
  EXPECT_NE(pdf.find("/F2 350 Tf"), std::string::npos);
  EXPECT_NE(pdf.find("<5317"), std::string::npos);  // 北
}

TEST_F(MapExportTest, ExportChoosesByExtensionAndRefusesOthers) {
  testing::TempDir dir;
  std::string error;
  for (const char* name : {"a.svg", "b.PDF", "c.dxf"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ExportPlanMap(doc_, MapViewState{}, symbols_, dir.File(name), &error), 1) << error;
    std::string bytes;
    ASSERT_TRUE(common::ReadWholeFile(dir.File(name), &bytes));
    EXPECT_GT(bytes.size(), 100u);
  }
  EXPECT_EQ(ExportPlanMap(doc_, MapViewState{}, symbols_, dir.File("d.png"), &error), 0);
  EXPECT_NE(error.find(".dxf"), std::string::npos);
  doc_.planePoint = 99;  // gone
  EXPECT_EQ(ExportPlanMap(doc_, MapViewState{}, symbols_, dir.File("e.svg"), &error), 0);
  // The caller's document keeps its map positions untouched by an export.
  EXPECT_EQ(doc_.spacePoints[0].mapX, 0);
}

}  // namespace
}  // namespace vistamet
