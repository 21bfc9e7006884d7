#include "geotools/compute/ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geotools/compute/param_description.h"

namespace georeckon {
namespace {

TEST(Ellipsoid, PresetsHoldTheTabulatedValues) {
  struct Row {
    EllipsoidParams e;
    double a, f, e2, b, invf;
  } const rows[] = {
      {Wgs84Ellipsoid(), 6378137.0, 0.0033528106647474805, 0.00669437999014132, 6356752.314245179,
       298.257223563},
      {Beijing54Ellipsoid(), 6378245.0, 0.003352329869259135, 0.00669342162296594,
       6356863.018773047, 298.3},
      {Xian80Ellipsoid(), 6378140.0, 0.0033528131778969143, 0.006694384999588, 6356755.288157528,
       298.257},
      {Cgcs2000Ellipsoid(), 6378137.0, 1 / 298.257222101, 2 / 298.257222101 -
       1 / (298.257222101 * 298.257222101), 6378137.0 * (1 - 1 / 298.257222101), 298.257222101},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.e.type);
    EXPECT_EQ(r.e.a, r.a);
    EXPECT_EQ(r.e.f, r.f);
    EXPECT_DOUBLE_EQ(r.e.e2, r.e2);  // the listed value, not 2f - f²
    EXPECT_DOUBLE_EQ(r.e.b, r.b);
    EXPECT_DOUBLE_EQ(InverseFlattening(r.e), r.invf);
    EllipsoidParams p;
    ASSERT_TRUE(PresetEllipsoid(r.e.type, &p));
    EXPECT_EQ(p, r.e);
  }
  EXPECT_NE(Wgs84Ellipsoid().e2, 2 * Wgs84Ellipsoid().f - Wgs84Ellipsoid().f * Wgs84Ellipsoid().f);
  EXPECT_EQ(EllipsoidParams(), Wgs84Ellipsoid());
  EXPECT_EQ(&EllipsoidOrWgs84(nullptr), &EllipsoidOrWgs84(nullptr));
  EXPECT_EQ(EllipsoidOrWgs84(nullptr), Wgs84Ellipsoid());
  EllipsoidParams untouched = Xian80Ellipsoid();
  EXPECT_FALSE(PresetEllipsoid(0, &untouched));
  EXPECT_FALSE(PresetEllipsoid(5, &untouched));
  EXPECT_EQ(untouched, Xian80Ellipsoid());
}

TEST(Ellipsoid, CustomDerivesTheOtherFields) {
  // Beijing 54 entered by hand: same a and 1/f, derived e2 and b, type 0.
  const EllipsoidParams e = CustomEllipsoid(6378245.0, 298.3);
  EXPECT_EQ(e.type, kCustomEllipsoid);
  EXPECT_EQ(e.f, 1.0 / 298.3);
  EXPECT_EQ(e.e2, 2 * e.f - e.f * e.f);
  EXPECT_EQ(e.b, 6378245.0 * (1 - e.f));
  EXPECT_EQ(EllipsoidDescription(e), "自定义椭球 (a=6378245.0000m,alfa=1/298.300000)");
}

TEST(Ellipsoid, UsableRecords) {
  EXPECT_TRUE(IsUsableEllipsoid(Wgs84Ellipsoid()));
  EllipsoidParams e = Wgs84Ellipsoid();
  e.a = 0;
  EXPECT_FALSE(IsUsableEllipsoid(e));
  e = Wgs84Ellipsoid();
  e.e2 = 1.0;
  EXPECT_FALSE(IsUsableEllipsoid(e));
  e = Wgs84Ellipsoid();
  e.f = std::nan("");
  EXPECT_FALSE(IsUsableEllipsoid(e));
}

TEST(Ellipsoid, Descriptions) {
  EXPECT_EQ(EllipsoidDescription(Wgs84Ellipsoid()), "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)");
  EXPECT_EQ(EllipsoidDescription(Beijing54Ellipsoid()),
            "北京54椭球 (a=6378245.0000m,alfa=1/298.300000)");
  EXPECT_EQ(EllipsoidDescription(Xian80Ellipsoid()),
            "西安80椭球 (a=6378140.0000m,alfa=1/298.257000)");
  EXPECT_EQ(EllipsoidDescription(Cgcs2000Ellipsoid()),
            "CGCS2000椭球 (a=6378137.0000m,alfa=1/298.257222)");
  // CGCS2000 and WGS84 share a; their minor axes differ by about 0.1 mm.
  EXPECT_NEAR(Wgs84Ellipsoid().b - Cgcs2000Ellipsoid().b, 1.05e-4, 1e-6);
  EllipsoidParams odd = Wgs84Ellipsoid();
  odd.type = 17;
  EXPECT_EQ(EllipsoidDescription(odd).rfind("自定义椭球 ", 0), 0u);

  const EllipsoidParams w = Wgs84Ellipsoid();
  EXPECT_EQ(DocumentParamDescription(w, kPackedDms, kPackedDms),
            "参数设置：WGS84椭球 (a=6378137.0000m,alfa=1/298.257224),"
            "角度单位:输入  (度.分分秒秒)  ,  输出  (度.分分秒秒)");
  EXPECT_EQ(DialogParamDescription(w, kRadian, kDegree),
            "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)   角度单位:输入  (弧度)  ,  输出  (度)");
  EXPECT_EQ(PlaneParamDescription(kDegree, kRadian), "角度单位:输入  (度)  ,  输出  (弧度)");
  EXPECT_EQ(ZoneChangeParamDescription(w), "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)");
}

}  // namespace
}  // namespace georeckon
