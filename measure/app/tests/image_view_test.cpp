// The image view and the thumbnail strip driven as a user drives them:
// clicks in every mode, the real dialogs answered, the keys, the strip's
// photo commands, and a whole project numbered by hand and adjusted.
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "common/atomic_file.h"
#include "measure/app/command_ids.h"
#include "measure/app/space_point_dialog.h"
#include "measure/compute/sample_scene.h"
#include "measure/model/bitmap.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "measure/views/image_canvas.h"
#include "measure/views/photo_min_view.h"
#include "measure/model/photo_thumbnails.h"
#include "measure/views/photo_renderer.h"
#include "measure/views/vistamet_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

// Answers every modal dialog with a function of it, for walks with many
// dialogs whose order follows the data.
class DialogAnswerer : public wxModalDialogHook {
 public:
  explicit DialogAnswerer(std::function<int(wxDialog*)> answer) : answer_(std::move(answer)) {
    Register();
  }
  ~DialogAnswerer() override { Unregister(); }
  int shown = 0;

 protected:
  int Enter(wxDialog* dialog) override {
    ++shown;
    return answer_(dialog);
  }
  void Exit(wxDialog*) override {}

 private:
  std::function<int(wxDialog*)> answer_;
};

// Types a number (and, for a control point, its coordinates) into the space
// point dialog and presses OK.
int AnswerSpacePoint(wxDialog* d, int32_t number, const SpacePoint* control = nullptr) {
  auto* dialog = dynamic_cast<CSpacePointDialog*>(d);
  if (!dialog) return wxID_YES;  // a question: yes, keep the control point
  dialog->NumberEdit()->SetValue(wxString::Format("%d", number));
  if (control && !IsReferenceNumber(number)) {
    dialog->ControlBox()->SetValue(true);
    wxCommandEvent toggled(wxEVT_CHECKBOX, dialog->ControlBox()->GetId());
    toggled.SetEventObject(dialog->ControlBox());
    dialog->ControlBox()->ProcessWindowEvent(toggled);
    const double xyz[3] = {control->X, control->Y, control->Z};
    for (int k = 0; k < 3; ++k) dialog->CoordEdit(k)->SetValue(wxString::Format("%.3f", xyz[k]));
  }
  return dialog->Accept() ? wxID_OK : wxID_CANCEL;
}

class ImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }

  CProjectDocument* OpenProject(const std::string& path) {
    doc_ = Open(path);
    if (!doc_) return nullptr;
    auto* view = dynamic_cast<CVistametView*>(doc_->FindView(ViewKind::kProject));
    canvas_ = view ? view->Canvas() : nullptr;
    strip_ = view ? view->Strip() : nullptr;
    return canvas_ && strip_ ? doc_ : nullptr;
  }
  // A click on a photo position of the current photo.
  void ClickPhoto(double x, double y) {
    canvas_->LeftClickAt(canvas_->CalcScrolledPosition(canvas_->ToScreen(x, y)));
  }
  CVistametDoc& Core() { return doc_->Core(); }

  TempDir dir_;
  CProjectDocument* doc_ = nullptr;
  CImageCanvas* canvas_ = nullptr;
  CPhotoMinView* strip_ = nullptr;
};

TEST_F(ImageViewTest, NumberingThroughTheRealDialogMakesTheCornerAControlPoint) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt")), nullptr);
  SendCommand(kCmdEditPoint);
  EXPECT_EQ(Core().viewMode, kModeEditPoint);
  DialogAnswerer answers([](wxDialog* d) { return AnswerSpacePoint(d, 1002); });
  ClickPhoto(70, 50);  // the unnumbered point of photo 1
  EXPECT_EQ(answers.shown, 1);
  const int i = Core().FindImagePointNear(70, 50, 1, 0);
  ASSERT_GE(i, 0);
  EXPECT_EQ(Core().imagePoints[i].pointNumber, 1002);
  const int s = Core().FindSpacePoint(1002);
  ASSERT_GE(s, 0);
  EXPECT_EQ(Core().spacePoints[s].controlFlag, 1);
  EXPECT_EQ(Core().spacePoints[s].X, 501);
  EXPECT_EQ(Core().spacePoints[s].Y, 501);
  EXPECT_TRUE(doc_->IsModified());
  ClickPhoto(90, 5);  // no point there: no dialog
  EXPECT_EQ(answers.shown, 1);
}

TEST_F(ImageViewTest, ClearDeleteAndAddByClicks) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt")), nullptr);
  const size_t points = Core().imagePoints.size();
  SendCommand(kCmdClearNumber);
  ClickPhoto(41, 31);  // point 2 of photo 1, a pixel off
  EXPECT_EQ(Core().imagePoints[1].pointNumber, kNoNumber);
  SendCommand(kCmdDeletePoint);
  ClickPhoto(40, 30);
  EXPECT_EQ(Core().imagePoints.size(), points - 1);
  SendCommand(kCmdAddPoint);
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    ClickPhoto(12, 13);  // beside point 1
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "这里已经有特征点了!");
  }
  SendCommand(kCmdZoomIn);  // two screen pixels a photo pixel: half pixels can be hit
  ClickPhoto(30.5, 40.5);
  EXPECT_EQ(Core().imagePoints.size(), points);
  EXPECT_EQ(Core().imagePoints.back().x, 30.5);
  EXPECT_EQ(Core().imagePoints.back().y, 40.5);
  // Beside the photo (96 x 64) nothing is added.
  ClickPhoto(120, 20);
  EXPECT_EQ(Core().imagePoints.size(), points);
  SendCommand(kCmdDeleteSpacePoint);
  ClickPhoto(10, 12);
  EXPECT_LT(Core().FindSpacePoint(1), 0);
}

TEST_F(ImageViewTest, DistanceAndPlanePointAfterAnAdjustment) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt", {.adjusted = 1})), nullptr);
  SendCommand(kCmdMeasureDistance);
  ASSERT_EQ(Core().viewMode, kModeMeasureDistance);
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    ClickPhoto(40, 30);
    EXPECT_EQ(canvas_->Clicks().Counter(), 1);
    ClickPhoto(10, 12);  // 2-1 after 1-2
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "这条距离已经量过!");
  }
  Core().distancePairs.clear();
  SendCommand(kCmdMeasureDistance);  // entering the mode starts again
  EXPECT_EQ(canvas_->Clicks().Counter(), 0);
  ClickPhoto(10, 12);
  ClickPhoto(40, 30);
  EXPECT_EQ(Core().distancePairs, (DistancePairs{1, 2}));
  EXPECT_EQ(canvas_->Clicks().Counter(), 0);

  SendCommand(kCmdPlanePoint);
  ClickPhoto(40, 30);
  EXPECT_EQ(Core().planePoint, 2);
  EXPECT_EQ(Core().planeSet, 1);
  EXPECT_EQ(Core().viewMode, kModeNone);
  Pump();
  EXPECT_NE(doc_->FindView(ViewKind::kPlanMap), nullptr);
}

TEST_F(ImageViewTest, FourClicksAroundADrawnRectangle) {
  // A light rectangle, columns 50..149 and rows 40..109, on a dark photo.
  std::vector<uint8_t> bgr(200 * 150 * 3, 50);
  for (int y = 40; y < 110; ++y)
    for (int x = 50; x < 150; ++x)
      for (int c = 0; c < 3; ++c) bgr[(y * 200 + x) * 3 + c] = 220;
  std::vector<std::string> photos;
  for (const char* name : {"r1.bmp", "r2.bmp"}) {
    photos.push_back(dir_.File(name));
    ASSERT_TRUE(common::SaveFileAtomically(photos.back(), EncodeBitmap24(200, 150, bgr.data())));
  }
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject(photos), 1);
  doc.targetsExtracted = 1;
  ASSERT_TRUE(SaveProjectFile(doc, dir_.File("r.vmt")));
  ASSERT_NE(OpenProject(dir_.File("r.vmt")), nullptr);
  SendCommand(kCmdRectangleCorners);
  const double around[4][2] = {{46, 36}, {154, 36}, {154, 114}, {46, 114}};
  for (const auto& c : around) ClickPhoto(c[0], c[1]);
  ASSERT_EQ(Core().imagePoints.size(), 4u);
  const double truth[4][2] = {{49.5, 39.5}, {149.5, 39.5}, {149.5, 109.5}, {49.5, 109.5}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(Core().imagePoints[k].x, truth[k][0], 0.3) << k;
    EXPECT_NEAR(Core().imagePoints[k].y, truth[k][1], 0.3) << k;
    EXPECT_EQ(Core().imagePoints[k].matchState, 2);
  }
}

TEST_F(ImageViewTest, RealMouseAndKeys) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt")), nullptr);
  Frame().Raise();
  ASSERT_TRUE(PumpUntil([this] { return canvas_->IsShownOnScreen(); }));
  const size_t points = Core().imagePoints.size();
  SendCommand(kCmdAddPoint);
  // The pointer goes through the X server: wait until it is really over the
  // spot before clicking, and until the window's layout has settled (bars
  // shown late move the canvas), so that neither swallows the click.
  auto spot = [this] {
    return canvas_->ClientToScreen(canvas_->CalcScrolledPosition(wxPoint(25, 45)));
  };
  wxUIActionSimulator sim;
  const wxPoint target = MovePointerTo(spot);
  EXPECT_EQ(wxGetMousePosition(), target)
      << "pointer at " << wxGetMousePosition().x << "," << wxGetMousePosition().y << " for "
      << target.x << "," << target.y;
  sim.MouseClick();
  ASSERT_TRUE(PumpUntil([&] { return Core().imagePoints.size() != points; }))
      << "canvas at " << canvas_->GetScreenPosition().x << "," << canvas_->GetScreenPosition().y
      << " size " << canvas_->GetClientSize().x << "x" << canvas_->GetClientSize().y;
  ASSERT_EQ(Core().imagePoints.size(), points + 1);
  EXPECT_NEAR(Core().imagePoints.back().x, 25, 1);
  EXPECT_NEAR(Core().imagePoints.back().y, 45, 1);
  // Ctrl+Down zooms in with the focus on the photo or on the strip.
  canvas_->SetFocus();
  PumpUntil([this] { return wxWindow::FindFocus() == canvas_; }, 1000);
  sim.Char(WXK_DOWN, wxMOD_CONTROL);
  EXPECT_TRUE(PumpUntil([this] { return canvas_->Divisor() != 1.0; }));
  EXPECT_DOUBLE_EQ(canvas_->Divisor(), 0.5);
  strip_->SetFocus();
  PumpUntil([this] { return wxWindow::FindFocus() == strip_; }, 1000);
  sim.Char(WXK_UP, wxMOD_CONTROL);
  sim.Char(WXK_UP, wxMOD_CONTROL);
  EXPECT_TRUE(PumpUntil([this] { return canvas_->Divisor() == 2.0; }));
  EXPECT_DOUBLE_EQ(canvas_->Divisor(), 2.0);
}

TEST_F(ImageViewTest, StripDeletesAndAddsPhotos) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt", {.photos = 3})), nullptr);
  Core().autoExtract = 0;
  strip_->Relayout();
  strip_->SetMenuTarget(2);
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage(wxID_YES);
    wxCommandEvent del(wxEVT_MENU, kCmdStripDeletePhoto);
    strip_->ProcessWindowEvent(del);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
  }
  EXPECT_EQ(Core().PhotoCount(), 2);
  strip_->AddPhotoFrom(wxString::FromUTF8(WritePhoto(dir_.File("extra.bmp"))));
  EXPECT_EQ(Core().PhotoCount(), 3);
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    strip_->AddPhotoFrom(wxString::FromUTF8(dir_.File("extra.bmp")));  // already there
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "新增图片失败！\n可能是所增加的图片已经存在，或者其他原因");
  }
  strip_->SetMenuTarget(2);
  wxCommandEvent current(wxEVT_MENU, kCmdStripSetCurrent);
  strip_->ProcessWindowEvent(current);
  EXPECT_EQ(Core().currentPhoto, 2);
}

// A project of JPEG photos opens with headers only; the image view and the
// strip get their pixels when they draw, the strip's from thumbnails kept in
// the user's cache folder.
TEST_F(ImageViewTest, JpegPhotosAreDrawnAndTheirThumbnailsKept) {
  SampleOptions options;
  options.width = 600;
  options.height = 400;
  std::string error;
  ASSERT_TRUE(WriteSampleProject(dir_.path(), options, &error, PhotoFormat::kJpeg)) << error;
  ASSERT_NE(OpenProject(dir_.File("sample_photos.vmt")), nullptr);
  for (int i = 0; i < 3000 && doc_->WorkRunning(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(Core().photoImages[0].grey.empty());  // the document holds no pixels
  wxBitmap bitmap(120, 80, 24);
  {
    wxMemoryDC dc(bitmap);
    canvas_->Render(dc, wxRect(0, 0, 120, 80));
  }
  const wxImage image = bitmap.ConvertToImage();
  // The sample's background is a light grey.
  EXPECT_GT(image.GetGreen(60, 40), 100);
  EXPECT_LT(std::abs(image.GetGreen(60, 40) - image.GetRed(60, 40)), 12);

  const std::string cache = ThumbnailCacheDir();
  EXPECT_EQ(cache.rfind(wxGetHomeDir().ToStdString(), 0), 0u) << cache;
  wxBitmap strip(200, 600, 24);
  {
    wxMemoryDC dc(strip);
    strip_->Render(dc);
  }
  for (int i = 0; i < Core().PhotoCount(); ++i)
    EXPECT_TRUE(common::FileExists(ThumbnailFile(Core().photoPaths[i], cache))) << i;
}

TEST_F(ImageViewTest, DistancesChosenInTheListAreDrawnInRed) {
  ASSERT_NE(OpenProject(WriteProject(dir_, "p.vmt", {.adjusted = 1})), nullptr);
  auto red_near = [this](int x, int y) {
    wxBitmap bitmap(96, 64, 24);
    {
      wxMemoryDC dc(bitmap);
      canvas_->Render(dc, wxRect(0, 0, 96, 64));
    }
    const wxImage image = bitmap.ConvertToImage();
    int red = 0;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        red += image.GetRed(x + dx, y + dy) == 255 && image.GetGreen(x + dx, y + dy) == 0 &&
               image.GetBlue(x + dx, y + dy) == 0;
    return red;
  };
  // A quarter of the way along the distance 1-2, from (10, 12) to (40, 30).
  EXPECT_EQ(red_near(17, 16), 0);
  Core().highlightList = {0};
  EXPECT_GE(red_near(17, 16), 4);
  Core().listMode = 1;  // the list shows another table: no highlight
  EXPECT_EQ(red_near(17, 16), 0);
}

TEST(PhotoRenderer, ReducedViewsAreBoxAveragedOnceTheLevelsAreReady) {
  // Columns alternate 0 and 200, rows alternate +0 and +40: every 2 x 2 box
  // averages to 120 (rounded half up), while sampling picks a corner.
  wxImage photo(64, 32, false);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) photo.SetRGB(x, y, (x % 2) * 200 + (y % 2) * 40, 10, 250);
  for (bool reduce : {false, true}) {
    PhotoRenderer renderer(reduce);
    renderer.SetPhoto(photo);
    renderer.WaitForLevels();
    EXPECT_EQ(renderer.LevelsReady(), reduce);
    wxBitmap bitmap(40, 20, 24);
    {
      wxMemoryDC dc(bitmap);
      dc.SetBackground(*wxBLACK_BRUSH);
      dc.Clear();
      renderer.Draw(dc, wxRect(0, 0, 40, 20), 2.0);  // 32 x 16 logical pixels of photo
    }
    const wxImage shown = bitmap.ConvertToImage();
    EXPECT_EQ(shown.GetRed(5, 5), reduce ? 120 : 0) << reduce;
    EXPECT_EQ(shown.GetBlue(31, 15), 250);
    EXPECT_EQ(shown.GetBlue(32, 15), 0);  // beyond the photo: untouched
  }
}

// What a newcomer does with the sample: opens the photos, lets the targets
// be found, numbers the points of the first photo by clicking (the reference
// square, the control points with their coordinates, the rest), lets the
// transfer number the other photos, numbers what it missed, adjusts, and
// compares with the truth.
TEST_F(ImageViewTest, SampleNumberedByHandAdjustsToTheTruth) {
  SampleOptions options;
  options.width = 1500;
  options.height = 1000;
  std::string error;
  ASSERT_TRUE(WriteSampleProject(dir_.path(), options, &error)) << error;
  const SampleScene scene = MakeSampleScene(options);
  ASSERT_NE(OpenProject(dir_.File("sample_photos.vmt")), nullptr);
  for (int i = 0; i < 3000 && doc_->WorkRunning(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(Core().targetsExtracted, 1);
  Core().bAutoPlaneTrans = 1;
  SendCommand(kCmdEditPoint);

  auto truth_of = [&scene](int32_t number) -> const SpacePoint* {
    for (const SpacePoint& s : scene.points)
      if (s.pointNumber == number) return &s;
    return nullptr;
  };
  int clicked = 0;
  for (int photo = 0; photo < Core().PhotoCount(); ++photo) {
    Core().SetCurrentPhoto(photo);
    for (const ImagePoint& target : scene.observations[photo]) {
      const int hit = Core().FindImagePointNear(target.x, target.y, 5.0, photo);
      ASSERT_GE(hit, 0) << "no extracted point at target " << target.pointNumber;
      if (Core().imagePoints[hit].pointNumber == target.pointNumber) continue;  // transferred
      const SpacePoint* truth = truth_of(target.pointNumber);
      DialogAnswerer answers([&](wxDialog* d) {
        return AnswerSpacePoint(d, target.pointNumber, truth && truth->IsControl() ? truth : nullptr);
      });
      ClickPhoto(Core().imagePoints[hit].x, Core().imagePoints[hit].y);
      ++clicked;
      ASSERT_EQ(Core().imagePoints[hit].pointNumber, target.pointNumber);
    }
  }
  // The transfer saved clicks on the later photos.
  EXPECT_LT(clicked, static_cast<int>(4 * scene.observations[0].size()));
  SendCommand(kCmdAdjust);
  ASSERT_TRUE(WaitForWork(doc_));
  ASSERT_EQ(Core().adjusted, 1);
  double worst = 0;
  for (const SpacePoint& t : scene.points) {
    const int s = Core().FindSpacePoint(t.pointNumber);
    ASSERT_GE(s, 0) << t.pointNumber;
    const SpacePoint& p = Core().spacePoints[s];
    worst = std::max(worst, std::sqrt((p.X - t.X) * (p.X - t.X) + (p.Y - t.Y) * (p.Y - t.Y) +
                                      (p.Z - t.Z) * (p.Z - t.Z)));
  }
  std::printf("[ sample by hand ] %d clicks, largest point error %.2f mm\n", clicked, worst);
  EXPECT_LT(worst, 5.0);
}

}  // namespace
}  // namespace vistamet::test
