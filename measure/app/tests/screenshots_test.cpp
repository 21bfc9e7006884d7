// Pictures of every dialog for a person to look at. Not run by default; with
// VISTAMET_SHOTS naming a folder, run the test program under a virtual
// display with --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
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
  const std::string command = "import -window root " + std::string(dir) + "/" + name + ".png";
  EXPECT_EQ(std::system(command.c_str()), 0);
  window->Hide();
}

TEST(Screenshots, DISABLED_EveryDialog) {
  TempDir dir;
  {
    CVistametDoc doc;
    doc.photoPaths = {"a.bmp"};
    doc.photoImages.resize(1);
    doc.photoParams.resize(1);
    COptionsSheet sheet(&Frame(), ReadOptions(doc));
    for (int page = 0; page < 3; ++page) {
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
