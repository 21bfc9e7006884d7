#include "measure/model/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet::testing {

TempDir::TempDir() {
  char tmpl[] = "/tmp/vistamet_test.XXXXXX";
  if (::mkdtemp(tmpl)) path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string WritePhoto(const std::string& path, int w, int h, int seed) {
  std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
  for (size_t k = 0; k < bgr.size(); ++k) bgr[k] = static_cast<uint8_t>(k * 13 + seed * 7);
  common::SaveFileAtomically(path, EncodeBitmap24(w, h, bgr.data()));
  return path;
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
