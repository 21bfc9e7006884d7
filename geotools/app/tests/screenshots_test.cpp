// Pictures of the main window and of every dialog for a person to look at:
// with GEORECKON_SHOTS=<folder> each window is shown on the (virtual)
// display and cut out of a screenshot of it (ImageMagick's import) into
// <folder>/<name>.png. Without the variable the test is skipped.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/utils.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "geotools/app/about_dlg.h"
#include "geotools/app/blh_xyz_dlg.h"
#include "geotools/app/four_apply_dlg.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/gauss_dlg.h"
#include "geotools/app/geo_reckon_app.h"
#include "geotools/app/geodetic_dlg.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/param_dlg.h"
#include "geotools/app/plane_coor_dlg.h"
#include "geotools/app/seven_apply_dlg.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/app/zone_change_dlg.h"
#include "tests/gui_test_support.h"

namespace georeckon::test {
namespace {

void Shoot(wxWindow* window, const std::string& folder, const std::string& name) {
  window->Show();
  window->Raise();
  for (int i = 0; i < 20; ++i) {
    Pump();
    wxMilliSleep(20);
  }
  const wxRect r = window->GetScreenRect();
  const std::string command =
      "import -window root -crop " + std::to_string(r.width + 2) + "x" +
      std::to_string(r.height + 2) + "+" + std::to_string(std::max(0, r.x - 1)) + "+" +
      std::to_string(std::max(0, r.y - 1)) + " +repage " + folder + "/" + name + ".png";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Screenshots, EveryWindow) {
  const char* folder = std::getenv("GEORECKON_SHOTS");
  if (!folder) GTEST_SKIP() << "GEORECKON_SHOTS not set";
  UiScript ui;
  const EllipsoidParams e = Wgs84Ellipsoid();
  const std::function<wxDialog*()> dialogs[] = {
      [&] { return new CParamDlg(nullptr, e, 1, 1); },
      [&] { return new CBLHXYZDlg(nullptr, e, 1, 1); },
      [&] { return new CGeodeticDlg(nullptr, e, 1, 1); },
      [&] { return new CPlaneCoorDlg(nullptr, e, 1, 1); },
      [&] { return new CGaussDlg(nullptr, e, 1, 1); },
      [&] { return new CZoneChangeDlg(nullptr, e); },
      [&] { return new CSevenSolveDlg(nullptr); },
      [&] { return new CSevenApplyDlg(nullptr); },
      [&] { return new CFourSolveDlg(nullptr); },
      [&] { return new CFourApplyDlg(nullptr); },
      [&] { return new CAboutDlg(nullptr); },
  };
  int n = 0;
  for (const auto& make : dialogs) {
    std::unique_ptr<wxDialog> dialog(make());
    // The tables with points in them, solved.
    const std::string data = GEORECKON_TESTDATA_DIR;
    if (dynamic_cast<CSevenSolveDlg*>(dialog.get())) {
      Type(dialog.get(), "listFile", data + "/seven_points.txt");
    } else if (dynamic_cast<CFourSolveDlg*>(dialog.get())) {
      Type(dialog.get(), "listFile", data + "/four_points.txt");
    }
    if (wxWindow::FindWindowByName("listFile", dialog.get())) {
      Press(dialog.get(), "read");
      Press(dialog.get(), "solve");
    }
    if (dynamic_cast<CBLHXYZDlg*>(dialog.get())) {
      Type(dialog.get(), "B", "30.3");
      Type(dialog.get(), "L", "119.54");
      Press(dialog.get(), "forward");
    }
    Shoot(dialog.get(), folder, "dialog" + std::to_string(n++));
    dialog->Hide();
  }
  Shoot(TheMainFrame(), folder, "main");
}

}  // namespace
}  // namespace georeckon::test
