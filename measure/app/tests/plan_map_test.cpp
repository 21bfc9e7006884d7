// The plan map window driven as a user drives it: the scale selector, the
// title dialog, features placed, moved and edited with the mouse through the
// real feature dialog, both kinds of distance measured by mouse, printing at
// true scale on a PostScript device, and the exports of its file menu.
#include <cmath>
#include <regex>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/colordlg.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/dcps.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/bmpbndl.h>
#include <wx/prntbase.h>

#include "measure/app/command_ids.h"
#include "measure/records/test_support.h"
#include "measure/views/feature_dialog.h"
#include "measure/views/map_title_dialog.h"
#include "measure/views/photo_map_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

// Answers the feature dialog: types the type and rotation, presses OK.
ScriptedDialogs::Answer TypeFeature(int type, int degrees = -1) {
  return [type, degrees](wxDialog* d) {
    auto* dialog = dynamic_cast<CFeatureDialog*>(d);
    if (!dialog) return wxID_CANCEL;
    dialog->TypeEdit()->SetValue(wxString::Format("%d", type));
    if (degrees >= 0) dialog->RotationEdit()->SetValue(wxString::Format("%d", degrees));
    return dialog->Accept() ? wxID_OK : wxID_CANCEL;
  };
}

class PlanMapWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseAllDocuments();
    doc_ = Open(WriteProject(dir_, "m.vmt", {.adjusted = 1, .planeSet = 1}));
    ASSERT_NE(doc_, nullptr);
    // Three points a metre or so apart in the plane Z = 0; point 2 fixes it.
    CVistametDoc& core = doc_->Core();
    core.spacePoints.clear();
    Space(1, 0, 2000, 0, 1);
    Space(2, 1000, 2000, 0, 0);
    Space(3, 1000, 3000, 0, 0);
    core.distancePairs.clear();
    core.planePoint = 2;
    core.mapShowTime = 0;
    SendCommand(kCmdPlanMap);
    Pump();
    view_ = dynamic_cast<CPhotoMapView*>(doc_->FindView(ViewKind::kPlanMap));
    ASSERT_NE(view_, nullptr);
    canvas_ = view_->Canvas();
    // The window lays itself out once it is shown.
    PumpUntil([this] {
      const wxSize size = canvas_->GetClientSize();
      return size.x > 300 && size.y > 250;
    });
    canvas_->UpdateProjection();
  }
  void TearDown() override { CloseAllDocuments(); }

  void Space(int32_t n, double x, double y, double z, int control) {
    doc_->Core().spacePoints.push_back(vistamet::testing::MakeSpacePoint(n, x, y, z, control, 2));
  }

  CVistametDoc& Core() { return doc_->Core(); }
  // The client position of space point number n.
  wxPoint AtPoint(int32_t n) {
    canvas_->UpdateProjection();
    const SpacePoint& s = Core().spacePoints[Core().FindSpacePoint(n)];
    return canvas_->ClientOf(s.mapX, s.mapY);
  }
  void Click(const wxPoint& p) {
    canvas_->LeftDownAt(p);
    canvas_->LeftUpAt(p);
  }
  // Client pixels per metre of the object at the document's scale.
  double PixelsPerMetre() { return 100000.0 / Core().mapScale / canvas_->View().k; }

  TempDir dir_;
  CProjectDocument* doc_ = nullptr;
  CPhotoMapView* view_ = nullptr;
  CPlanMapCanvas* canvas_ = nullptr;
};

TEST_F(PlanMapWindowTest, OpensOnTheProjectsScaleAndTheSelectorChangesIt) {
  EXPECT_EQ(Core().mapWindowOn, 1);
  EXPECT_EQ(view_->ScaleChoice()->GetStringSelection(), "1:100");
  EXPECT_EQ(view_->ScaleChoice()->GetCount(), 10u);
  const wxPoint a = AtPoint(1), b = AtPoint(2);
  EXPECT_NEAR(b.x - a.x, PixelsPerMetre(), 1);
  doc_->Modify(false);
  view_->ScaleChoice()->SetSelection(5);  // 1:500
  wxCommandEvent chosen(wxEVT_CHOICE, kCmdMapScale);
  chosen.SetInt(5);
  chosen.SetEventObject(view_->ScaleChoice());
  view_->ScaleChoice()->ProcessWindowEvent(chosen);
  EXPECT_EQ(Core().mapScale, 500);
  EXPECT_TRUE(Core().IsModified());
  const wxPoint c = AtPoint(1), d = AtPoint(2);
  EXPECT_NEAR(d.x - c.x, (b.x - a.x) / 5.0, 1);
}

TEST_F(PlanMapWindowTest, TheDrawingShowsPointsWhereTheMouseFindsThem) {
  const wxSize size = canvas_->GetClientSize();
  wxBitmap bitmap(size);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    canvas_->DoPrepareDC(dc);
    canvas_->Render(dc);
  }
  const wxImage image = bitmap.ConvertToImage();
  // Point 2's cross: magenta pixels a few pixels right of its position.
  const wxPoint p = AtPoint(2);
  ASSERT_TRUE(wxRect(size).Contains(p + wxPoint(3, 0))) << size.x << "x" << size.y << " " << p.x << "," << p.y;
  EXPECT_EQ(image.GetRed(p.x + 3, p.y), 255);
  EXPECT_EQ(image.GetGreen(p.x + 3, p.y), 0);
  EXPECT_EQ(image.GetBlue(p.x + 3, p.y), 255);
}

TEST_F(PlanMapWindowTest, TheTitleDialogStoresTitleAndTimeFlag) {
  ScriptedDialogs dialogs;
  dialogs.Then([](wxDialog* d) {
    auto* dialog = dynamic_cast<CMapTitleDialog*>(d);
    if (!dialog) return wxID_CANCEL;
    EXPECT_EQ(dialog->GetTitle(), wxString::FromUTF8("平面图设置"));
    EXPECT_FALSE(dialog->TimeCheck()->GetValue());
    dialog->TitleEdit()->SetValue(wxString::FromUTF8("东立面\n二层"));
    dialog->TimeCheck()->SetValue(true);
    return dialog->Accept() ? wxID_OK : wxID_CANCEL;
  });
  dialogs.Then([](wxDialog*) { return wxID_CANCEL; });
  doc_->Modify(false);
  view_->DoCommand(kCmdMapTitle);
  EXPECT_EQ(Core().mapTitle, "东立面 二层");  // kept on one line
  EXPECT_EQ(Core().mapShowTime, 1);
  EXPECT_TRUE(Core().IsModified());
  view_->DoCommand(kCmdMapTitle);  // cancelled: unchanged
  EXPECT_EQ(Core().mapTitle, "东立面 二层");
  EXPECT_EQ(dialogs.Unexpected(), 0);
}

TEST_F(PlanMapWindowTest, FeaturesArePlacedMovedAndEditedByMouse) {
  ASSERT_GE(view_->Symbols().Count(), 20);  // the shipped library was found
  view_->DoCommand(kCmdMapModeFeatures);
  const double ppm = PixelsPerMetre();
  const wxPoint empty = AtPoint(2) + wxPoint(static_cast<int>(ppm), 0);  // 1 m right of 2
  {
    ScriptedDialogs dialogs;
    dialogs.Then(TypeFeature(5));
    canvas_->DoubleClickAt(empty);
    EXPECT_EQ(dialogs.Unexpected(), 0);
  }
  ASSERT_EQ(Core().mapFeatures.size(), 1u);
  EXPECT_EQ(Core().mapFeatures[0].symbolType, 5);
  EXPECT_NEAR(Core().mapFeatures[0].X, 2000, 1000.0 / ppm + 1);  // within a pixel
  EXPECT_NEAR(Core().mapFeatures[0].Y, 2000, 1000.0 / ppm + 1);

  // Drag it 1 m down (to Y = 1000): press on it, move, release.
  canvas_->UpdateProjection();
  const MapFeature& f = Core().mapFeatures[0];
  const wxPoint on = canvas_->ClientOf(f.mapX, f.mapY);
  canvas_->LeftDownAt(on);
  ASSERT_EQ(canvas_->Clicks().Dragged(), 0);
  const wxPoint to = on + wxPoint(0, static_cast<int>(ppm));
  canvas_->MoveTo(to, true);
  canvas_->LeftUpAt(to);
  EXPECT_NEAR(Core().mapFeatures[0].Y, 1000, 1000.0 / ppm + 1);
  EXPECT_NEAR(Core().mapFeatures[0].X, 2000, 1000.0 / ppm + 1);

  // Edit it: another symbol turned 90 degrees.
  canvas_->UpdateProjection();
  const wxPoint again = canvas_->ClientOf(Core().mapFeatures[0].mapX, Core().mapFeatures[0].mapY);
  {
    ScriptedDialogs dialogs;
    dialogs.Then(TypeFeature(7, 90));
    canvas_->DoubleClickAt(again);
  }
  ASSERT_EQ(Core().mapFeatures.size(), 1u);
  EXPECT_EQ(Core().mapFeatures[0].symbolType, 7);
  EXPECT_NEAR(Core().mapFeatures[0].rotation, 1.5707963, 1e-6);
  // Type 0 deletes it.
  {
    ScriptedDialogs dialogs;
    dialogs.Then(TypeFeature(0));
    canvas_->DoubleClickAt(again);
  }
  EXPECT_TRUE(Core().mapFeatures.empty());
}

TEST_F(PlanMapWindowTest, TheFeatureDialogRefusesOutOfRangeFieldsAndPreviews) {
  MapFeature f;
  f.symbolType = 3;
  f.rotation = 1.0f;
  CFeatureDialog dialog(canvas_, f, view_->Symbols());
  EXPECT_EQ(dialog.RotationEdit()->GetValue(), "57");
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    dialog.TypeEdit()->SetValue("60");
    EXPECT_FALSE(dialog.Accept());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
  }
  dialog.TypeEdit()->SetValue("3");
  ASSERT_TRUE(dialog.Accept());
  EXPECT_NEAR(dialog.Feature().rotation, 0.99483767, 1e-7);
  // The preview: background and the symbol in the feature's colour.
  wxBitmap bitmap(200, 150);
  {
    wxMemoryDC dc(bitmap);
    dialog.DrawPreview(dc, wxSize(200, 150));
  }
  const wxImage image = bitmap.ConvertToImage();
  EXPECT_EQ(image.GetRed(2, 2), 214);
  int red = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x)
      red += image.GetRed(x, y) > 200 && image.GetGreen(x, y) < 100 ? 1 : 0;
  EXPECT_GT(red, 10);
}

TEST_F(PlanMapWindowTest, AClickOnTheSwatchChoosesTheColourFromBlack) {
  MapFeature f;
  f.symbolType = 1;
  f.colour = Rgb(255, 0, 0);
  CFeatureDialog dialog(canvas_, f, view_->Symbols());
  ScriptedDialogs dialogs;
  dialogs.Then([](wxDialog* d) {
    auto* chooser = dynamic_cast<wxColourDialog*>(d);
    if (!chooser) return wxID_CANCEL;
    EXPECT_EQ(chooser->GetColourData().GetColour(), *wxBLACK);
    return wxID_OK;  // the chooser's own colour: black
  });
  wxMouseEvent click(wxEVT_LEFT_DOWN);
  click.SetEventObject(dialog.Swatch());
  dialog.Swatch()->ProcessWindowEvent(click);
  EXPECT_EQ(dialogs.Unexpected(), 0);
  ASSERT_TRUE(dialog.Accept());
  EXPECT_EQ(dialog.Feature().colour, Rgb(0, 0, 0));
}

TEST_F(PlanMapWindowTest, SpatialDistanceBetweenKnownPointsByMouse) {
  view_->DoCommand(kCmdMapModeSpatial);
  EXPECT_EQ(Core().mapEditFeatures, kMapSpatialDistance);
  Click(AtPoint(1));
  EXPECT_EQ(canvas_->Clicks().Counter(), 1);
  Click(AtPoint(3));
  EXPECT_EQ(Core().distancePairs, (DistancePairs{1, 3}));
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    Click(AtPoint(3));
    Click(AtPoint(1));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "这条距离已经量过!");
  }
  // A right click returns to feature editing.
  wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, canvas_->GetId());
  canvas_->ProcessWindowEvent(menu);
  EXPECT_EQ(Core().mapEditFeatures, kMapEditFeatures);
}

TEST_F(PlanMapWindowTest, PlaneDistanceBetweenArbitraryPointsByMouse) {
  view_->DoCommand(kCmdMapModePlane);
  const int ppm = static_cast<int>(PixelsPerMetre());
  const wxPoint a = AtPoint(1) + wxPoint(0, 2 * ppm);  // 2 m below point 1
  Click(a);
  {
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    Click(a + wxPoint(ppm / 4, 0));  // a quarter metre: too close
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], "两点之间距离太小!");
  }
  Click(AtPoint(2));  // the second end on a known point
  ASSERT_EQ(Core().DistanceCount(), 1);
  EXPECT_EQ(Core().distancePairs[0], -2);
  EXPECT_EQ(Core().distancePairs[1], 2);
  const SpacePoint& made = Core().spacePoints[Core().FindSpacePoint(-2)];
  EXPECT_NEAR(made.X, 0, 1000.0 / ppm + 1);
  EXPECT_NEAR(made.Y, 0, 1000.0 / ppm + 1);
  EXPECT_TRUE(Core().IsModified());
}

// The page of a PostScript device of known resolution: the 20 mm scale bar
// and a metre of the object at 1:500 (2 mm) measured in the output.
TEST_F(PlanMapWindowTest, PrintingDrawsTheObjectAtTrueScale) {
  Core().mapScale = 500;
  Core().distancePairs = {1, 2};
  const std::string path = dir_.File("map.ps");
  wxPrintData data;
  data.SetFilename(path);
  data.SetPrintMode(wxPRINT_MODE_FILE);
  data.SetPaperId(wxPAPER_A4);
  wxPostScriptDC dc(data);
  ASSERT_TRUE(dc.IsOk());
  std::unique_ptr<wxPrintout> printout(view_->MakePrintout());
  const wxSize ppi = dc.GetPPI();
  int w = 0, h = 0, wmm = 0, hmm = 0;
  dc.GetSize(&w, &h);
  dc.GetSizeMM(&wmm, &hmm);
  printout->SetDC(&dc);
  printout->SetPPIPrinter(ppi.x, ppi.y);
  printout->SetPageSizePixels(w, h);
  printout->SetPageSizeMM(wmm, hmm);
  ASSERT_TRUE(dc.StartDoc("map"));
  dc.StartPage();
  ASSERT_TRUE(printout->OnPrintPage(1));
  dc.EndPage();
  dc.EndDoc();
  const std::string ps = ReadFile(path);
  ASSERT_FALSE(ps.empty());
  // Every straight segment "x1 y1 moveto x2 y2 lineto", in points.
  std::vector<double> lengths;
  const std::regex segment("([-0-9.]+) ([-0-9.]+) moveto\\s+([-0-9.]+) ([-0-9.]+) lineto");
  for (std::sregex_iterator it(ps.begin(), ps.end(), segment), end; it != end; ++it)
    lengths.push_back(std::hypot(std::stod((*it)[3]) - std::stod((*it)[1]),
                                 std::stod((*it)[4]) - std::stod((*it)[2])));
  ASSERT_GE(lengths.size(), 4u) << ps.substr(0, 2000);
  // The scale bar comes first: 20 mm = 56.69 points; the device's own
  // scaling of its resolution to points is part of what is checked.
  double scale_to_pt = 1.0;
  std::smatch m;
  if (std::regex_search(ps, m, std::regex("([0-9.]+) ([0-9.]+) scale"))) scale_to_pt = std::stod(m[1]);
  EXPECT_NEAR(lengths[0] * scale_to_pt, 20.0 / 25.4 * 72.0, 0.3);
  // The distance, 1 m at 1:500, is 2 mm = 5.67 points.
  bool found = false;
  for (double l : lengths) found = found || std::abs(l * scale_to_pt - 2.0 / 25.4 * 72.0) < 0.2;
  EXPECT_TRUE(found);
}

TEST_F(PlanMapWindowTest, ExportsFromTheWindowReadBack) {
  for (const char* name : {"m.pdf", "m.svg", "m.dxf"}) {
    SCOPED_TRACE(name);
    std::string error;
    ASSERT_TRUE(view_->Export(dir_.File(name), &error)) << error;
    const std::string bytes = ReadFile(dir_.File(name));
    EXPECT_GT(bytes.size(), 200u);
  }
  EXPECT_EQ(ReadFile(dir_.File("m.pdf")).rfind("%PDF-", 0), 0u);
  EXPECT_NE(ReadFile(dir_.File("m.dxf")).find("AC1009"), std::string::npos);
}

// The SVG export drawn by an independent SVG renderer (the toolkit's own):
// the scale bar and a point's cross stand where the map puts them.
TEST_F(PlanMapWindowTest, TheSvgExportRendersInAnSvgReader) {
  Core().distancePairs = {1, 2};
  const std::string path = dir_.File("r.svg");
  std::string error;
  ASSERT_TRUE(view_->Export(path, &error)) << error;
  const std::string svg = ReadFile(path);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex("viewBox=\"0 0 ([0-9]+) ([0-9]+)\"")));
  const double w = std::stod(m[1]), h = std::stod(m[2]);
  const double f = 800.0 / w;  // pixels per map unit
  const wxBitmapBundle bundle = wxBitmapBundle::FromSVG(svg.c_str(), wxSize(800, static_cast<int>(h * f)));
  ASSERT_TRUE(bundle.IsOk());
  const wxImage image = bundle.GetBitmap(wxSize(800, static_cast<int>(h * f))).ConvertToImage();
  ASSERT_TRUE(image.IsOk());
  auto reddish = [&image](double x, double y) {
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    return image.GetRed(px, py) > 180 && image.GetGreen(px, py) < 90 && image.GetBlue(px, py) < 90;
  };
  // The scale bar: (100, -1000) to (2100, -1000), 60 units wide.
  EXPECT_TRUE(reddish(1100 * f, 1000 * f));
  EXPECT_FALSE(reddish(1100 * f, 1400 * f));
  // The distance line between points 1 and 2 is blue at its middle.
  canvas_->UpdateProjection();
  const SpacePoint& a = Core().spacePoints[0];
  const SpacePoint& b = Core().spacePoints[1];
  const int mx = static_cast<int>((a.mapX + b.mapX) / 2 * f), my = static_cast<int>(-(a.mapY + b.mapY) / 2 * f);
  EXPECT_GT(image.GetBlue(mx, my), 150);
  EXPECT_LT(image.GetRed(mx, my), 120);
}

TEST_F(PlanMapWindowTest, ClosingTheWindowTakesItsRecentFilesMenuAlong) {
  wxFileHistory* history = Manager().GetFileHistory();
  ASSERT_NE(history, nullptr);
  const size_t with_map = history->GetMenus().GetCount();
  view_->GetFrame()->Close(true);
  Pump();
  EXPECT_EQ(doc_->FindView(ViewKind::kPlanMap), nullptr);
  EXPECT_EQ(history->GetMenus().GetCount(), with_map - 1);
  // A file added to the history now updates only live menus.
  EXPECT_NE(Open(WriteProject(dir_, "n.vmt")), nullptr);
}

TEST_F(PlanMapWindowTest, ClicksLandOnTheirPointsWhenScrolled) {
  // A large scale and a far point stretch the drawing beyond the window:
  // scroll it.
  Core().mapScale = 10;
  Space(4, 6000, 8000, 0, 0);
  canvas_->Refresh();
  Pump();
  ASSERT_TRUE(PumpUntil([this] { return canvas_->GetVirtualSize().x > canvas_->GetClientSize().x; }));
  canvas_->Scroll(30, 20);
  Pump();
  int sx = 0, sy = 0;
  canvas_->GetViewStart(&sx, &sy);
  ASSERT_GT(sx + sy, 0);
  double mx, my;
  const wxPoint p = AtPoint(3);
  canvas_->MapAt(p, &mx, &my);
  const SpacePoint& s = Core().spacePoints[Core().FindSpacePoint(3)];
  EXPECT_NEAR(mx, s.mapX, canvas_->View().k);
  EXPECT_NEAR(my, s.mapY, canvas_->View().k);
  view_->DoCommand(kCmdMapModeSpatial);
  Click(AtPoint(3));
  Click(AtPoint(2));
  EXPECT_EQ(Core().distancePairs, (DistancePairs{3, 2}));
}

TEST_F(PlanMapWindowTest, RealMouseMeasuresAndPlacesAFeature) {
  Frame().Raise();
  ASSERT_TRUE(PumpUntil([this] { return canvas_->IsShownOnScreen(); }));
  wxUIActionSimulator sim;
  auto click_at = [&](const wxPoint& client, bool twice) {
    const wxPoint target = canvas_->ClientToScreen(client);
    sim.MouseMove(target);
    EXPECT_TRUE(PumpUntil([&target] { return wxGetMousePosition() == target; }))
        << "pointer at " << wxGetMousePosition().x << "," << wxGetMousePosition().y;
    if (twice) sim.MouseDblClick();
    else sim.MouseClick();
  };
  view_->DoCommand(kCmdMapModeSpatial);
  click_at(AtPoint(1), false);
  ASSERT_TRUE(PumpUntil([this] { return canvas_->Clicks().Counter() == 1; }));
  click_at(AtPoint(2), false);
  ASSERT_TRUE(PumpUntil([this] { return Core().DistanceCount() == 1; }));
  EXPECT_EQ(Core().distancePairs, (DistancePairs{1, 2}));

  view_->DoCommand(kCmdMapModeFeatures);
  ScriptedDialogs dialogs;
  dialogs.Then(TypeFeature(12));
  click_at(AtPoint(3) + wxPoint(static_cast<int>(PixelsPerMetre()), 0), true);
  ASSERT_TRUE(PumpUntil([this] { return !Core().mapFeatures.empty(); }));
  EXPECT_EQ(Core().mapFeatures[0].symbolType, 12);
  EXPECT_NEAR(Core().mapFeatures[0].X, 2000, 2000.0 / PixelsPerMetre() + 1);
  EXPECT_NEAR(Core().mapFeatures[0].Y, 3000, 2000.0 / PixelsPerMetre() + 1);
}

TEST_F(PlanMapWindowTest, PrintPreviewOpensItsPage) {
  // The framework's preview command previews the active view: the map.
  ASSERT_EQ(Manager().GetCurrentView(), view_);
  std::unique_ptr<wxPrintout> page(view_->OnCreatePrintout());
  EXPECT_NE(dynamic_cast<CPlanMapPrintout*>(page.get()), nullptr);
  SendCommand(wxID_PREVIEW);
  Pump();
  wxPreviewFrame* preview = nullptr;
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* p = dynamic_cast<wxPreviewFrame*>(w)) preview = p;
  ASSERT_NE(preview, nullptr);
  // The page keeps its own map: closing the project under an open preview
  // and drawing the page again reads nothing that is gone.
  CloseAllDocuments();
  Pump();
  bool still_open = false;
  for (wxWindow* w : wxTopLevelWindows) still_open = still_open || w == preview;
  if (still_open) {
    preview->Refresh();
    preview->Update();
    preview->Close(true);
    Pump();
  }
}

}  // namespace
}  // namespace vistamet::test
