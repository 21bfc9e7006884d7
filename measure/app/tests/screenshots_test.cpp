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

}  // namespace
}  // namespace vistamet::test
