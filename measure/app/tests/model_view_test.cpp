// The 3D model window: drawn points read back from the frame buffer, one
// model per project, degenerate models, the camera commands.
#include <gtest/gtest.h>

#include "measure/app/command_ids.h"
#include "measure/model/project_file.h"
#include "measure/views/ogl_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

class ModelViewTest : public ::testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }

  static COGLView* Open3D(CProjectDocument* doc) {
    doc->Activate();
    if (wxView* view = doc->GetFirstView()) view->Activate(true);
    SendCommand(kCmdModel3D);
    auto* view = dynamic_cast<COGLView*>(doc->FindView(ViewKind::kModel3D));
    // The window gets its size when the notebook lays it out.
    if (view) PumpUntil([view] { return view->Canvas()->GetClientSize().x > 100; }, 3000);
    return view;
  }
  // Pixels that are neither black (the background) nor the axis colours.
  static int Coloured(const std::vector<unsigned char>& rgb, unsigned char r, unsigned char g,
                      unsigned char b) {
    int n = 0;
    for (size_t k = 0; k + 2 < rgb.size(); k += 3)
      n += rgb[k] == r && rgb[k + 1] == g && rgb[k + 2] == b;
    return n;
  }
  TempDir dir_;
};

TEST_F(ModelViewTest, PointsAreDrawnAndEachProjectHasItsModel) {
  CProjectDocument* a = Open(WriteProject(dir_, "a.vmt"));
  ASSERT_NE(a, nullptr);
  COGLView* view = Open3D(a);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->Canvas()->Model().points.size(), 2u);
  EXPECT_EQ(a->Core().modelWindowOn, 1);
  int w = 0, h = 0;
  const std::vector<unsigned char> frame = view->Canvas()->ReadFrame(&w, &h);
  ASSERT_FALSE(frame.empty()) << "no OpenGL context";
  EXPECT_EQ(frame.size(), static_cast<size_t>(w) * h * 3);
  EXPECT_GT(Coloured(frame, 0, 0, 0), w * h / 2);  // the black background

  // A second project with three points: its own window, its own model.
  CVistametDoc other;
  other.targetsExtracted = 1;  // no question about finding targets on opening
  for (int32_t n : {5, 6, 7}) {
    SpacePoint s;
    s.pointNumber = n;
    s.X = n * 100.0;
    other.spacePoints.push_back(s);
  }
  ASSERT_TRUE(SaveProjectFile(other, dir_.File("b.vmt")));
  CProjectDocument* b = Open(dir_.File("b.vmt"));
  ASSERT_NE(b, nullptr);
  COGLView* second = Open3D(b);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, view);
  EXPECT_EQ(second->Canvas()->Model().points.size(), 3u);
  // Without distances there is no axis cross: red pixels are the points.
  ASSERT_TRUE(second->Canvas()->Model().segments.empty());
  EXPECT_GE(Coloured(second->Canvas()->ReadFrame(&w, &h), 255, 0, 0), 3);
  EXPECT_EQ(view->Canvas()->Model().points.size(), 2u);
  // The model follows its project.
  a->Core().spacePoints.pop_back();
  a->UpdateViews(ViewUpdate::kAll);
  EXPECT_EQ(view->Canvas()->Model().points.size(), 1u);
  // Control points are drawn again, larger and yellow.
  CVistametDoc control;
  control.targetsExtracted = 1;
  for (int32_t n : {1, 2, 3}) {
    SpacePoint s;
    s.pointNumber = n;
    s.X = n * 50.0;
    s.controlFlag = 1;
    control.spacePoints.push_back(s);
  }
  ASSERT_TRUE(SaveProjectFile(control, dir_.File("c.vmt")));
  CProjectDocument* c = Open(dir_.File("c.vmt"));
  ASSERT_NE(c, nullptr);
  COGLView* third = Open3D(c);
  ASSERT_NE(third, nullptr);
  const std::vector<unsigned char> yellow = third->Canvas()->ReadFrame(&w, &h);
  EXPECT_GE(Coloured(yellow, 255, 255, 0), 3 * 9);  // three 5-pixel points, mostly covered
}

TEST_F(ModelViewTest, DegenerateModelsDrawAndTheMenuMovesTheCamera) {
  CVistametDoc one;
  one.targetsExtracted = 1;
  SpacePoint s;  // two points in one place
  s.pointNumber = 1;
  one.spacePoints = {s, s};
  one.spacePoints[1].pointNumber = 2;
  ASSERT_TRUE(SaveProjectFile(one, dir_.File("one.vmt")));
  CProjectDocument* doc = Open(dir_.File("one.vmt"));
  ASSERT_NE(doc, nullptr);
  COGLView* view = Open3D(doc);
  ASSERT_NE(view, nullptr);
  int w = 0, h = 0;
  EXPECT_FALSE(view->Canvas()->ReadFrame(&w, &h).empty());
  wxCommandEvent nearer(wxEVT_MENU, kCmd3DNearer);
  view->GetFrame()->ProcessWindowEvent(nearer);
  EXPECT_FLOAT_EQ(view->Canvas()->Camera().camZ, 8.9f);
  wxCommandEvent reset(wxEVT_MENU, kCmd3DReset);
  view->GetFrame()->ProcessWindowEvent(reset);
  EXPECT_FLOAT_EQ(view->Canvas()->Camera().camZ, 9.0f);
}

}  // namespace
}  // namespace vistamet::test
