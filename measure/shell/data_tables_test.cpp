#include "measure/shell/data_tables.h"

#include <gtest/gtest.h>

#include <numbers>

#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;

// Three space points (1 a control point), image points of 1 and 2 on two
// photos and one unnumbered, distances 1-2 and 2-3.
class DataTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_.photoPaths = {"/p/a.bmp", "/p/b.bmp"};
    doc_.photoImages.resize(2);
    doc_.photoParams.resize(2);
    for (ImageHolder& h : doc_.photoImages) h.width = 100, h.height = 80;
    for (int32_t n : {1, 2, 3}) {
      SpacePoint s;
      s.pointNumber = n;
      s.X = 1000.0 * n;
      s.Y = 2000;
      s.Z = n == 3 ? 4000 : 0;
      s.controlFlag = n == 1;
      s.rayCount = 2;
      doc_.spacePoints.push_back(s);
    }
    for (int photo = 0; photo < 2; ++photo)
      for (int32_t n : {1, 2}) {
        ImagePoint p;
        p.x = 10 * n;
        p.y = 20;
        p.photoIndex = photo;
        p.pointNumber = n;
        doc_.imagePoints.push_back(p);
      }
    ImagePoint loose;
    loose.photoIndex = 1;
    doc_.imagePoints.push_back(loose);
    doc_.distancePairs = {1, 2, 2, 3};
    doc_.SetPrompt(&prompt_);
  }
  CVistametDoc doc_;
  ScriptedPrompt prompt_;
};

TEST_F(DataTablesTest, TablesWithTheirFooters) {
  DataTable d = BuildTable(doc_, ListKind::kDistances);
  ASSERT_EQ(d.rows.size(), 3u);
  EXPECT_EQ(d.rows[0].cells, (std::vector<std::string>{"2", "2", "3", "4.123"}));  // newest first
  EXPECT_EQ(d.rows[1].cells, (std::vector<std::string>{"1", "1", "2", "1.000"}));
  EXPECT_EQ(d.rows[2].cells[0], "总计 2 条测距");
  EXPECT_TRUE(d.rows[2].footer);

  const DataTable s = BuildTable(doc_, ListKind::kSpacePoints);
  ASSERT_EQ(s.rows.size(), 4u);
  EXPECT_EQ(s.rows[0].icon, kIconArrow);
  EXPECT_EQ(s.rows[1].icon, kIconSpacePoint);
  EXPECT_EQ(s.rows[2].cells, (std::vector<std::string>{"3", "3.000", "2.000", "4.000", "2"}));
  EXPECT_EQ(s.rows[3].cells.front(), "总计3个空间点(箭头标志控制点)");
  EXPECT_EQ(s.rows[3].cells.back(), "同名点数目平差之后才能更新");

  const DataTable i = BuildTable(doc_, ListKind::kImagePoints);
  ASSERT_EQ(i.rows.size(), 6u);
  EXPECT_EQ(i.rows[4].cells[0], "-");
  EXPECT_EQ(i.rows[4].icon, kIconQuestion);
  EXPECT_EQ(i.rows[4].cells[3], "2");
  EXPECT_EQ(i.rows[5].cells[0], "总计5个特征点(问号表示该点还没有编号)");

  doc_.photoParams[1].kappa = std::numbers::pi;
  doc_.photoParams[1].phi = 100;
  doc_.currentPhoto = 1;
  const DataTable p = BuildTable(doc_, ListKind::kPhotos);
  ASSERT_EQ(p.rows.size(), 3u);
  ASSERT_EQ(p.columns.size(), 15u);
  EXPECT_EQ(p.rows[1].icon, kIconArrow);
  EXPECT_EQ(p.rows[1].cells[6], "180.000");
  EXPECT_EQ(p.rows[1].cells[4], "5729.578");  // exactly 180/pi, not 57°17'45"
  EXPECT_EQ(p.rows[1].cells[14], "/p/b.bmp");
  EXPECT_EQ(p.rows[2].cells[0], "总计 2 张相片(箭头标志的是当前相片)");

  // An empty project: the footer alone.
  CVistametDoc empty;
  const DataTable e = BuildTable(empty, ListKind::kSpacePoints);
  ASSERT_EQ(e.rows.size(), 1u);
  EXPECT_EQ(e.rows[0].cells[0], "总计0个空间点(箭头标志控制点)");
  EXPECT_FALSE(CanDeleteRow(empty, e, {0}));
}

// The standard deviations of an adjustment that estimated them: three more
// columns, blank for a point the adjustment did not hold; none once the
// project is no longer adjusted.
TEST_F(DataTablesTest, SpacePointsShowTheirStandardDeviationsAfterAnAdjustment) {
  AdjustPrecision& precision = doc_.lastAdjustment.precision;
  precision.available = true;
  precision.pointNumbers = {2, 1};
  precision.points = {{0.1234, 0.5, 2.0}, {0, 0, 0}};
  doc_.adjusted = 1;
  const DataTable s = BuildTable(doc_, ListKind::kSpacePoints);
  ASSERT_EQ(s.columns.size(), 8u);
  EXPECT_EQ(s.columns[5].title, "σX(mm)");
  EXPECT_EQ(s.rows[1].cells,
            (std::vector<std::string>{"2", "2.000", "2.000", "0.000", "2", "0.123", "0.500", "2.000"}));
  EXPECT_EQ(s.rows[0].cells[7], "0.000");  // the control point is held
  EXPECT_EQ(s.rows[2].cells[5], "");       // 3 was not adjusted
  EXPECT_EQ(s.rows[3].cells[4], "同名点数目平差之后才能更新");
  EXPECT_EQ(s.rows[3].cells.size(), 8u);

  doc_.adjusted = 0;
  doc_.spacePoints[1].Z = -1e-4;  // mm: rounds to zero and shows no sign
  const DataTable plain = BuildTable(doc_, ListKind::kSpacePoints);
  EXPECT_EQ(plain.columns.size(), 5u);
  EXPECT_EQ(plain.rows[1].cells[3], "0.000");
  doc_.adjusted = 1;
  precision.available = false;
  EXPECT_EQ(BuildTable(doc_, ListKind::kSpacePoints).columns.size(), 5u);
}

TEST_F(DataTablesTest, DistancesWithoutTheirPointsLeaveTheList) {
  doc_.spacePoints.pop_back();  // 3 is gone
  const DataTable d = BuildTable(doc_, ListKind::kDistances);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 2}));
  ASSERT_EQ(d.rows.size(), 2u);
  EXPECT_EQ(d.rows[1].cells[0], "总计 1 条测距");
}

TEST_F(DataTablesTest, SelectionHighlightsDistancesUpToTheFooter) {
  const DataTable d = BuildTable(doc_, ListKind::kDistances);
  EXPECT_EQ(HighlightForSelection(d, {0, 1}), (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(HighlightForSelection(d, {1, 2}), (std::vector<int32_t>{0}));
  EXPECT_TRUE(HighlightForSelection(d, {2}).empty());  // the footer
  EXPECT_TRUE(HighlightForSelection(BuildTable(doc_, ListKind::kSpacePoints), {0}).empty());
}

TEST_F(DataTablesTest, DeleteActsOnTheRowsRecordOnly) {
  DataTable d = BuildTable(doc_, ListKind::kDistances);
  EXPECT_FALSE(CanDeleteRow(doc_, d, {2}));  // footer
  EXPECT_FALSE(CanDeleteRow(doc_, d, {0, 1}));
  doc_.extractionRunning = 1;
  EXPECT_FALSE(CanDeleteRow(doc_, d, {0}));
  doc_.extractionRunning = 0;
  // The list is stale: distance 1 now joins other points. Nothing happens.
  doc_.distancePairs = {1, 2, 1, 3};
  EXPECT_EQ(DeleteRowRecord(doc_, d, 0), 0);
  doc_.distancePairs = {1, 2, 2, 3};
  EXPECT_EQ(DeleteRowRecord(doc_, d, 0), 1);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 2}));

  const DataTable i = BuildTable(doc_, ListKind::kImagePoints);
  EXPECT_EQ(DeleteRowRecord(doc_, i, 4), 0);  // unnumbered: nothing
  EXPECT_EQ(DeleteRowRecord(doc_, i, 1), 1);  // point 2 of photo 1 loses its number
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, kNoNumber);
  EXPECT_EQ(doc_.imagePoints.size(), 5u);
  EXPECT_EQ(DeleteRowRecord(doc_, i, 1), 0);  // no longer what the row shows

  const DataTable s = BuildTable(doc_, ListKind::kSpacePoints);
  EXPECT_EQ(DeleteRowRecord(doc_, s, 0), 1);
  EXPECT_LT(doc_.FindSpacePoint(1), 0);
  for (const ImagePoint& p : doc_.imagePoints) EXPECT_NE(p.pointNumber, 1);
  EXPECT_TRUE(doc_.IsModified());
}

TEST_F(DataTablesTest, RenameRefusesAnExistingNumberItsOwnIncluded) {
  const DataTable s = BuildTable(doc_, ListKind::kSpacePoints);
  EXPECT_FALSE(CanRenameRow(doc_, BuildTable(doc_, ListKind::kDistances), {0}));
  EXPECT_EQ(RenameRowRecord(doc_, s, 1, 2), 0);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0], "空间点2已经存在!");
  EXPECT_EQ(RenameRowRecord(doc_, s, 1, 7), 1);
  EXPECT_GE(doc_.FindSpacePoint(7), 0);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 7, 7, 3}));
}

TEST_F(DataTablesTest, SortingCopyingAndCsv) {
  DataTable s = BuildTable(doc_, ListKind::kSpacePoints);
  SortTable(s, 3, false);  // Z descending: 3 first, footer stays last
  EXPECT_EQ(s.rows[0].key, 3);
  EXPECT_TRUE(s.rows.back().footer);
  SortTable(s, 0, true);
  EXPECT_EQ(s.rows[0].key, 1);
  EXPECT_EQ(TableText(s, {2}), "点号\tX(m)\tY(m)\tZ(m)\t同名点数目\n3\t3.000\t2.000\t4.000\t2\n");
  const std::string csv = TableCsv(s);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("点号,X(m),Y(m),Z(m),同名点数目\r\n1,1.000,2.000,0.000,2\r\n"), std::string::npos);
  doc_.photoPaths[0] = "/p/a, \"b\".bmp";
  const std::string photos = TableCsv(BuildTable(doc_, ListKind::kPhotos));
  EXPECT_NE(photos.find(",\"/p/a, \"\"b\"\".bmp\"\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vistamet
