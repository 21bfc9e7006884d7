// Pictures of every dialog as it stands on the (virtual) display: each is
// copied from the window and must show many colours and differ from the
// dialog before, so that a dialog that is not drawn, drawn empty or not
// drawn again fails. With GEORECKON_SHOTS=<folder> the pictures are also
// written to <folder>/<name>.png for a person to look at.
#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geotools/app/about_dlg.h"
#include "geotools/app/blh_xyz_dlg.h"
#include "geotools/app/four_apply_dlg.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/gauss_dlg.h"
#include "geotools/app/geodetic_dlg.h"
#include "geotools/app/param_dlg.h"
#include "geotools/app/plane_coor_dlg.h"
#include "geotools/app/seven_apply_dlg.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/app/zone_change_dlg.h"
#include "tests/gui_test_support.h"

namespace georeckon::test {
namespace {

// Gives the windows time to draw themselves.
void Settle() {
  for (int i = 0; i < 20; ++i) {
    Pump();
    wxMilliSleep(20);
  }
}

// What the window shows.
wxImage CaptureWindow(wxWindow* window) {
  const wxSize size = window->GetSize();
  wxBitmap bitmap(size.x, size.y, 24);
  {
    wxMemoryDC memory(bitmap);
    wxWindowDC source(window);
    memory.Blit(0, 0, size.x, size.y, &source, 0, 0);
  }
  return bitmap.ConvertToImage();
}

bool SamePixels(const wxImage& a, const wxImage& b) {
  return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
         std::equal(a.GetData(), a.GetData() + 3 * a.GetWidth() * a.GetHeight(), b.GetData());
}

// How many different colours the picture holds, counting up to `enough`.
int Colours(const wxImage& image, int enough) {
  std::vector<unsigned long> seen;
  const unsigned char* rgb = image.GetData();
  const long pixels = static_cast<long>(image.GetWidth()) * image.GetHeight();
  for (long i = 0; i < pixels && static_cast<int>(seen.size()) < enough; ++i) {
    const unsigned long c = (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2];
    if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
  }
  return static_cast<int>(seen.size());
}

// The picture of `window`, shown; checked, and saved when asked to.
wxImage CheckPicture(wxWindow* window, const std::string& name) {
  SCOPED_TRACE(name);
  window->Show();
  window->Raise();
  Settle();
  const wxImage image = CaptureWindow(window);
  EXPECT_TRUE(image.IsOk());
  if (!image.IsOk()) return image;
  EXPECT_GT(image.GetWidth(), 100);
  EXPECT_GT(image.GetHeight(), 50);
  // Frame, labels, edits and buttons: far more than a handful of colours
  // (text is drawn with smoothed edges).
  EXPECT_GE(Colours(image, 8), 8);
  if (const char* folder = std::getenv("GEORECKON_SHOTS")) {
    EXPECT_TRUE(image.SaveFile(std::string(folder) + "/" + name + ".png", wxBITMAP_TYPE_PNG));
  }
  return image;
}

TEST(Screenshots, EveryDialogIsDrawn) {
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
  wxImage previous;
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
    const wxImage picture = CheckPicture(dialog.get(), "dialog" + std::to_string(n++));
    // Each dialog's own picture, not one left over from the one before.
    EXPECT_FALSE(SamePixels(picture, previous)) << "dialog" << n - 1;
    previous = picture;
    dialog->Hide();
  }
}

}  // namespace
}  // namespace georeckon::test
