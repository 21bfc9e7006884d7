#include "measure/records/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>


namespace vistamet::testing {

TempDir::TempDir() {
  char tmpl[] = "/tmp/vistamet_test.XXXXXX";
  if (::mkdtemp(tmpl)) path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

void ScriptedPrompt::TypeNumber(int32_t number) {
  edits.push_back([number](SpacePoint& r) {
    r.pointNumber = number;
    ApplyReferenceCorner(r);
    return true;
  });
}

void ScriptedPrompt::TypeControl(int32_t number, double x, double y, double z) {
  edits.push_back([=](SpacePoint& r) {
    r.pointNumber = number;
    r.controlFlag = 1;
    r.X = x;
    r.Y = y;
    r.Z = z;
    return true;
  });
}

}  // namespace vistamet::testing
