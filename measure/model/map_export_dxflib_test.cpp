// The plan map's DXF read by an independent DXF reader (dxflib): what a CAD
// program sees of points, numbers, distances, blocks and inserts.
#include <algorithm>
#include <sstream>

#include <dl_creationadapter.h>
#include <dl_dxf.h>
#include <gtest/gtest.h>

#include "measure/model/map_export.h"

namespace vistamet {
namespace {

class Collect : public DL_CreationAdapter {
 public:
  void addLayer(const DL_LayerData& d) override { layers.push_back(d.name); }
  void addBlock(const DL_BlockData& d) override {
    blocks.push_back(d.name);
    in_block = true;
  }
  void endBlock() override { in_block = false; }
  void addPoint(const DL_PointData& d) override {
    if (!in_block) points.push_back({d.x, d.y, getAttributes().getLayer()});
  }
  void addLine(const DL_LineData& d) override {
    if (in_block) ++block_elements;
    else lines.push_back({d.x2 - d.x1, d.y2 - d.y1, getAttributes().getLayer()});
  }
  void addArc(const DL_ArcData&) override { ++block_elements; }
  void addCircle(const DL_CircleData&) override { ++block_elements; }
  void addText(const DL_TextData& d) override { texts.push_back(d.text); }
  void addInsert(const DL_InsertData& d) override {
    inserts.push_back({d.name, d.sx, d.angle, getAttributes().getLayer()});
  }

  struct Xy { double x, y; std::string layer; };
  struct Insert { std::string name; double scale, angle; std::string layer; };
  std::vector<std::string> layers, blocks, texts;
  std::vector<Xy> points, lines;
  std::vector<Insert> inserts;
  int block_elements = 0;
  bool in_block = false;
};

TEST(MapDxf, AnIndependentReaderSeesEveryEntityOnItsLayer) {
  CVistametDoc doc;
  for (int n = 1; n <= 3; ++n) {
    SpacePoint s;
    s.pointNumber = n;
    s.X = 1000.0 * n;
    s.Y = 2000;
    doc.spacePoints.push_back(s);
  }
  doc.planePoint = 1;
  doc.planeSet = 1;
  doc.distancePairs = {1, 3};
  SymbolLibrary symbols;
  symbols.symbols.resize(4);
  symbols.symbols[3].elements = {{kSymbolLine, {0, 0, 0, 5, 0, 0}},
                                 {kSymbolArc, {0, 0, 0, 0, 3.1415927f, 4}},
                                 {kSymbolCircle, {0, 0, 0, 0, 0, 2}}};
  MapFeature f;
  f.symbolType = 4;
  f.X = 1500;
  f.Y = 2000;
  f.scale = 2;
  doc.mapFeatures = {f, f};
  MapFeature none;  // type 0: not exported
  doc.mapFeatures.push_back(none);

  std::istringstream in(PlanMapDxf(doc, symbols));
  Collect got;
  DL_Dxf dxf;
  ASSERT_TRUE(dxf.in(in, &got));
  EXPECT_EQ(got.points.size(), 3u);
  EXPECT_EQ(got.points[2].layer, "POINTS");
  EXPECT_DOUBLE_EQ(got.points[2].x, 3000);
  EXPECT_EQ(got.texts, (std::vector<std::string>{"1", "2", "3"}));
  ASSERT_EQ(got.lines.size(), 1u);
  EXPECT_DOUBLE_EQ(got.lines[0].x, 2000);
  EXPECT_EQ(got.lines[0].layer, "DISTANCES");
  EXPECT_EQ(got.blocks, (std::vector<std::string>{"SYMBOL_4"}));
  EXPECT_EQ(got.block_elements, 3);
  ASSERT_EQ(got.inserts.size(), 2u);
  EXPECT_EQ(got.inserts[0].name, "SYMBOL_4");
  EXPECT_EQ(got.inserts[0].layer, "SYMBOL_4");
  EXPECT_DOUBLE_EQ(got.inserts[0].scale, 40);
  EXPECT_NE(std::find(got.layers.begin(), got.layers.end(), "SYMBOL_4"), got.layers.end());
}

}  // namespace
}  // namespace vistamet
