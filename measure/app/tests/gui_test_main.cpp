// The window tests start the real application once (under a virtual
// display), run every test against it, and shut it down.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "measure/views/vistamet_program.h"
#include "tests/gui_test_support.h"

wxIMPLEMENT_APP_NO_MAIN(vistamet::CVistametProgram);

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);

  // The tests' settings, recent files and desktop stay in a folder of their
  // own, never the user's.
  char pattern[] = "/tmp/vistamet-gui-home-XXXXXX";
  const char* home = ::mkdtemp(pattern);
  if (!home) return 2;
  ::setenv("HOME", home, 1);
  ::setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (std::string(home) + "/.local/share").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", (std::string(home) + "/.cache").c_str(), 1);

  int wx_argc = 1;
  char* wx_argv[] = {argv[0], nullptr};
  if (!wxEntryStart(wx_argc, wx_argv)) return 2;
  vistamet::test::App().SetWriteShortcut(false);
  // Log messages go to the test output, never into a dialog box.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  if (!wxTheApp->CallOnInit()) return 2;
  vistamet::test::Pump();

  const int result = RUN_ALL_TESTS();

  vistamet::test::CloseAllDocuments();
  if (wxWindow* top = wxTheApp->GetTopWindow()) top->Destroy();
  vistamet::test::Pump();
  wxTheApp->OnExit();
  wxLog::DontCreateOnDemand();
  delete wxLog::SetActiveTarget(nullptr);
  wxEntryCleanup();
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
  return result;
}
