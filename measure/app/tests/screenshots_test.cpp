// Pictures of every dialog for a person to look at, taken by
// scripts/screenshots.sh (not part of the test suite: it needs ImageMagick's
// import). Each picture is checked: the screen's size, and the dialog's
// part of it not one flat colour (a dialog that failed to draw).
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/notebook.h>
#include <wx/textctrl.h>

#include "measure/app/about_dialog.h"
#include "measure/app/new_project_dialog.h"
#include "measure/app/offset_dialog.h"
#include "measure/app/options_sheet.h"
#include "measure/app/rename_dialog.h"
#include "measure/app/space_point_dialog.h"
#include "measure/app/command_ids.h"
#include "measure/views/feature_dialog.h"
#include "measure/views/map_title_dialog.h"
#include "measure/views/photo_map_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

void Shoot(wxWindow* window, const std::string& name) {
  const char* dir = std::getenv("VISTAMET_SHOTS");
  ASSERT_NE(dir, nullptr);
  window->Show();
  window->Raise();
  Pump();
  wxMilliSleep(300);
  Pump();
  const std::string path = std::string(dir) + "/" + name + ".png";
  const std::string command = "import -window root " + path;
  ASSERT_EQ(std::system(command.c_str()), 0);
  window->Hide();
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  wxImage shot;
  ASSERT_TRUE(shot.LoadFile(path, wxBITMAP_TYPE_PNG)) << path;
  const wxSize screen = wxGetDisplaySize();
  EXPECT_EQ(shot.GetSize(), screen) << path;
  const wxRect area = window->GetScreenRect().Intersect(wxRect(shot.GetSize()));
  ASSERT_FALSE(area.IsEmpty()) << path;
  const wxImage part = shot.GetSubImage(area);
  const unsigned char* rgb = part.GetData();
  const size_t n = static_cast<size_t>(part.GetWidth()) * part.GetHeight();
  size_t differing = 0;
  for (size_t k = 1; k < n; ++k)
    differing += (rgb[3 * k] != rgb[0] || rgb[3 * k + 1] != rgb[1] || rgb[3 * k + 2] != rgb[2]);
  EXPECT_GT(differing, n / 100) << path << ": the dialog's area is one flat colour";
}

TEST(Screenshots, EveryDialog) {
  TempDir dir;
  {
    CVistametDoc doc;
    doc.photoPaths = {"a.bmp"};
    doc.photoImages.resize(1);
    doc.photoParams.resize(1);
    COptionsSheet sheet(&Frame(), ReadOptions(doc));
    for (int page = 0; page < static_cast<int>(sheet.Book()->GetPageCount()); ++page) {
      sheet.Book()->SetSelection(page);
      Shoot(&sheet, "options" + std::to_string(page + 1));
    }
  }
  {
    CNewProjectDialog d(&Frame());
    d.AddPaths({WritePhoto(dir.File("photo1.bmp")), WritePhoto(dir.File("photo2.bmp"))});
    Shoot(&d, "new_project");
  }
  {
    SpacePoint s;
    s.pointNumber = 12;
    CSpacePointDialog d(&Frame(), s);
    Shoot(&d, "space_point_plain");
    d.NumberEdit()->SetValue("1002");
    Shoot(&d, "space_point_control");
  }
  {
    CRenameDialog d(&Frame(), 17);
    Shoot(&d, "rename");
  }
  {
    COffsetDialog d(&Frame());
    Shoot(&d, "offset");
  }
  {
    CAboutDialog d(&Frame());
    Shoot(&d, "about");
  }
}

// The plan map window with points, distances and a feature of every
// shipped symbol, and its two dialogs.
TEST(Screenshots, PlanMapWindow) {
  TempDir dir;
  CloseAllDocuments();
  CProjectDocument* doc = Open(WriteProject(dir, "m.vmt", {.adjusted = 1, .planeSet = 1}));
  ASSERT_NE(doc, nullptr);
  CVistametDoc& core = doc->Core();
  core.spacePoints.clear();
  for (int k = 0; k < 6; ++k) {
    SpacePoint s;
    s.pointNumber = k + 1;
    s.X = 1500.0 * (k % 3);
    s.Y = 2000.0 + 1800.0 * (k / 3);
    s.Z = 300.0 * k;
    s.controlFlag = k == 0 || k == 4;
    s.rayCount = 3;
    core.spacePoints.push_back(s);
  }
  core.planePoint = 2;
  core.distancePairs = {1, 2, 2, 3, 1, 5};
  core.mapTitle = "东立面测图";
  core.mapScale = 100;
  for (int t = 1; t <= 26; ++t) {
    MapFeature f;
    f.symbolType = t;
    f.X = -1200 + 600 * ((t - 1) % 9);
    f.Y = 6000 + 800 * ((t - 1) / 9);
    f.colour = t % 3 == 0 ? 0x00A00000 : t % 3 == 1 ? 0x000000FF : 0x00008000;
    f.lineWidth = 0.2f;
    core.mapFeatures.push_back(f);
  }
  SendCommand(kCmdPlanMap);
  Pump();
  auto* view = dynamic_cast<CPhotoMapView*>(doc->FindView(ViewKind::kPlanMap));
  ASSERT_NE(view, nullptr);
  wxWindow* frame = view->GetFrame();
  Frame().Maximize();
  if (auto* child = dynamic_cast<wxTopLevelWindow*>(frame)) child->Maximize();
  Shoot(&Frame(), "plan_map");
  Frame().Show();
  SendCommand(wxID_PREVIEW);
  Pump();
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* preview = dynamic_cast<wxPreviewFrame*>(w)) {
      preview->SetSize(wxSize(1100, 850));
      Shoot(preview, "plan_map_preview");
      preview->Close(true);
      Pump();
      break;
    }
  {
    CFeatureDialog d(&Frame(), core.mapFeatures[8], view->Symbols());
    Shoot(&d, "feature_dialog");
  }
  {
    CMapTitleDialog d(&Frame(), core.mapTitle, 1);
    Shoot(&d, "map_title_dialog");
  }
  CloseAllDocuments();
}

}  // namespace
}  // namespace vistamet::test
