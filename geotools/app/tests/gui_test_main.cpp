// The window tests start GeoReckon once (on a virtual display), run every
// test against it and shut it down. Settings and recent files go to a home
// folder of their own.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "geotools/app/geo_reckon_app.h"
#include "geotools/app/geo_reckon_doc_manager.h"
#include "geotools/app/ui_services.h"
#include "tests/gui_test_support.h"

wxIMPLEMENT_APP_NO_MAIN(georeckon::CGeoReckonApp);

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char pattern[] = "/tmp/georeckon-gui-home-XXXXXX";
  const char* home = ::mkdtemp(pattern);
  if (!home) return 2;
  ::setenv("HOME", home, 1);
  ::setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
  // Nothing is launched while the tests run.
  georeckon::SetLaunchHook([](const std::string&) { return true; });

  int wx_argc = 1;
  char* wx_argv[] = {argv[0], nullptr};
  if (!wxEntryStart(wx_argc, wx_argv)) return 2;
  if (!wxTheApp->CallOnInit()) return 2;
  georeckon::test::Pump();

  const int result = RUN_ALL_TESTS();

  // Close without questions: whatever the tests left modified is dropped.
  if (auto* app = dynamic_cast<georeckon::CGeoReckonApp*>(wxTheApp)) {
    for (wxDocument* doc : app->doc_manager()->GetDocumentsVector()) doc->Modify(false);
  }
  if (wxWindow* top = wxTheApp->GetTopWindow()) top->Close(true);
  georeckon::test::Pump();
  wxTheApp->OnExit();
  wxEntryCleanup();
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
  return result;
}
