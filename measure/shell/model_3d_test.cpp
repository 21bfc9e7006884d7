#include "measure/shell/model_3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vistamet {
namespace {

SpacePoint At(int32_t n, double x, double y, double z, int control = 0) {
  SpacePoint s;
  s.pointNumber = n;
  s.X = x;
  s.Y = y;
  s.Z = z;
  s.controlFlag = control;
  return s;
}

TEST(Model3D, NormalisedToTenUnitsWithZUp) {
  CVistametDoc doc;
  doc.spacePoints = {At(1, 0, 0, 0, 1), At(2, 2000, 0, 0), At(3, 0, 1000, 500)};
  doc.distancePairs = {1, 2, 2, 9};  // 9 does not exist: no segment
  const Model3D m = BuildModel3D(doc);
  ASSERT_EQ(m.points.size(), 3u);
  EXPECT_DOUBLE_EQ(m.scale, 200.0);  // a tenth of the largest extent, 2000 mm
  // Mean (666.67, 333.33, 166.67): point 2 is (6.667, -0.833, 1.667).
  EXPECT_NEAR(m.points[1].x, 6.6667f, 1e-3);
  EXPECT_NEAR(m.points[1].y, -0.8333f, 1e-3);  // object Z up
  EXPECT_NEAR(m.points[1].z, 1.6667f, 1e-3);   // object Y into the screen
  EXPECT_EQ(m.control, (std::vector<uint8_t>{1, 0, 0}));
  ASSERT_EQ(m.segments.size(), 2u);
  EXPECT_EQ(m.segments[1], m.points[1]);
}

TEST(Model3D, DegenerateModelsStayFinite) {
  CVistametDoc doc;
  EXPECT_TRUE(BuildModel3D(doc).points.empty());
  doc.spacePoints = {At(1, 5, 5, 5)};
  Model3D one = BuildModel3D(doc);
  EXPECT_EQ(one.scale, 1.0);
  EXPECT_EQ(one.points[0], (Vec3{0, 0, 0}));
  doc.spacePoints = {At(1, 5, 5, 5), At(2, 5, 5, 5)};
  for (const Vec3& v : BuildModel3D(doc).points)
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST(Camera3D, MovesOfTheMenuKeysAndMouse) {
  Camera3D c;
  c.Rotate(0, -90);  // dragging 90 pixels upwards
  EXPECT_FLOAT_EQ(c.rotX, -60);
  c.Rotate(15, 0);
  EXPECT_FLOAT_EQ(c.rotY, 5);
  c.Move(CameraMove::kNearer);
  EXPECT_FLOAT_EQ(c.camZ, 8.9f);
  c.Move(CameraMove::kPageUp);
  EXPECT_FLOAT_EQ(c.camY, 0);
  c.Move(CameraMove::kLeft);  // a = rotY + 90 = 95 degrees
  EXPECT_NEAR(c.camX, 0.05f * std::sin(95 * 0.017453292f), 1e-6);
  c.Zoom(100);
  EXPECT_GE(c.camZ, 0.5f);  // never through the model
  c.Move(CameraMove::kReset);
  EXPECT_FLOAT_EQ(c.camX, 0);
  EXPECT_FLOAT_EQ(c.camY, 1);
  EXPECT_FLOAT_EQ(c.camZ, 9);
  EXPECT_FLOAT_EQ(c.rotX, 30);
  EXPECT_FLOAT_EQ(c.rotY, -10);
}

}  // namespace
}  // namespace vistamet
