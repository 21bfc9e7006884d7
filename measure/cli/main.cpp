// vistamet-cli: the measurement program's document operations without a
// window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "measure/cli/cli_prompt.h"
#include "measure/cli/sample_project.h"
#include "measure/model/project_file.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet::cli {
namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vistamet-cli info P.vmt                      summary of a project\n"
    "  vistamet-cli make-sample DIR [--size WxH] [--photos N]\n"
    "                                               writes the synthetic sample project\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "vistamet-cli: %s\n", message.c_str());
  return 1;
}

// Opens a project; prints the reason and returns false when it is refused.
bool Open(const std::string& path, CVistametDoc* doc, std::string* version) {
  const LoadResult r = LoadProjectFile(path, doc);
  if (!r.ok()) {
    Fail(path + ": " + r.message);
    return false;
  }
  if (version) *version = r.version;
  return true;
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) return Fail("info takes one project file");
  CVistametDoc doc;
  std::string version;
  if (!Open(args[0], &doc, &version)) return 1;
  int controls = 0;
  for (const SpacePoint& s : doc.spacePoints) controls += s.IsControl() ? 1 : 0;
  int numbered = 0;
  for (const ImagePoint& p : doc.imagePoints) numbered += p.pointNumber != kNoNumber ? 1 : 0;
  std::printf("project: %s\n", args[0].c_str());
  std::printf("version: %s\n", version.c_str());
  std::printf("photos: %d\n", doc.PhotoCount());
  for (int i = 0; i < doc.PhotoCount(); ++i) {
    const ImageHolder& img = doc.photoImages[i];
    std::printf("  %d: %s (%d x %d, %d bit)\n", i + 1, doc.photoPaths[i].c_str(), img.width,
                img.height, img.bitsPerPixel);
  }
  std::printf("current photo: %d\n", doc.currentPhoto + 1);
  std::printf("image points: %zu (%d numbered)\n", doc.imagePoints.size(), numbered);
  std::printf("space points: %zu (%d control)\n", doc.spacePoints.size(), controls);
  std::printf("distances: %d\n", doc.DistanceCount());
  std::printf("map features: %zu\n", doc.mapFeatures.size());
  std::printf("back-projected points: %zu\n", doc.adjustedPoints.size());
  std::printf("targets extracted: %s\n", doc.targetsExtracted ? "yes" : "no");
  std::printf("adjusted: %s\n", doc.adjusted ? "yes" : "no");
  const AdjustmentOptions o = doc.Options();
  std::printf("options: angle tolerance %g rad, coordinate tolerance %g mm, "
              "control weight %g, iterations %d, keep minimum RMS %d, clean points %d, "
              "matching %d, automatic transfer %d\n",
              o.dAngleTol, o.dCoordTol, o.dControlWeight, o.nMaxIter, o.bKeepMinRms,
              o.bCleanPoints, o.bLmsFeature, doc.bAutoPlaneTrans);
  return 0;
}

int MakeSample(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("make-sample needs a folder");
  SampleOptions options;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--size" && i + 1 < args.size()) {
      if (std::sscanf(args[++i].c_str(), "%dx%d", &options.width, &options.height) != 2 ||
          options.width < 200 || options.height < 200 || options.width > 20000 ||
          options.height > 20000)
        return Fail("--size takes WxH, 200 to 20000 pixels each");
    } else if (args[i] == "--photos" && i + 1 < args.size()) {
      options.photos = std::atoi(args[++i].c_str());
      if (options.photos < 2 || options.photos > 8) return Fail("--photos takes 2 to 8");
    } else {
      return Fail("unknown option " + args[i]);
    }
  }
  std::string error;
  if (!WriteSampleProject(args[0], options, &error)) return Fail(error);
  std::printf("sample project written to %s (sample.vmt, sample_photos.vmt, "
              "known_distances.txt, truth.txt)\n",
              args[0].c_str());
  return 0;
}

}  // namespace
}  // namespace vistamet::cli

int main(int argc, char** argv) {
  using namespace vistamet::cli;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "info") return Info(args);
  if (command == "make-sample") return MakeSample(args);
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::fprintf(stderr, "vistamet-cli: unknown command %s\n%s", command.c_str(), kUsage);
  return 2;
}
