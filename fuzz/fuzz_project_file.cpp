// The project file reader. Photos are looked up by file name beside the
// project, so a seed's photos ("p.bmp", "photo1.bmp", ...) resolve to the
// small photos this target writes into its own folder. What the reader accepts must keep the
// document's rules and write back to bytes that read the same.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "fuzz/fuzz_support.h"
#include "measure/model/project_file.h"

namespace {

std::string ProjectPath() {
  static const std::string path = [] {
    char tmpl[] = "/tmp/vistamet-fuzz.XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    fuzz::Require(dir != nullptr);
    static std::string folder = dir;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
    // The photo names of the seeds: the sample project's and p.bmp.
    for (const char* name : {"p.bmp", "photo1.bmp", "photo2.bmp", "photo3.bmp", "photo4.bmp"})
      fuzz::Require(common::SaveFileAtomically(std::string(dir) + "/" + name, fuzz::SmallBmp()));
    return std::string(dir) + "/fuzz.vmt";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vistamet::CVistametDoc doc;
  if (!vistamet::ReadProjectBytes(fuzz::Bytes(data, size), ProjectPath(), &doc).ok()) return 0;
  fuzz::Require(vistamet::FindBrokenInvariant(doc).empty());
  fuzz::Require(vistamet::ClampAdjustmentOptions(&doc.options).empty());
  const std::string again = vistamet::WriteProjectBytes(doc);
  vistamet::CVistametDoc back;
  fuzz::Require(vistamet::ReadProjectBytes(again, ProjectPath(), &back).ok());
  fuzz::Require(vistamet::WriteProjectBytes(back) == again);
  return 0;
}
