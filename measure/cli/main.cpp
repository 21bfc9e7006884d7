// vistamet-cli: the measurement program's document operations without a
// window.
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/cli/cli_prompt.h"
#include "measure/compute/distance_check.h"
#include "measure/model/photo_file.h"
#include "measure/model/sample_project.h"
#include "measure/model/project_file.h"
#include "measure/model/vistamet_doc.h"
#include "measure/model/map_export.h"

#include <unistd.h>

namespace vistamet::cli {
namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vistamet-cli info P.vmt                      summary of a project\n"
    "  vistamet-cli adjust P.vmt [-o OUT.vmt] [--reports DIR]\n"
    "               [--coord-tol MM] [--angle-tol RAD] [--max-iter N]\n"
    "               [--engine reduced|dense] [--precision FILE.csv]\n"
    "                                               bundle adjustment; prints the result\n"
    "                                               (the options override the project's);\n"
    "                                               exit status 0 converged, 1 failed,\n"
    "                                               3 stopped at the iteration limit (not\n"
    "                                               converged; best iterate kept),\n"
    "                                               130 stopped by Ctrl+C (nothing written)\n"
    "  vistamet-cli extract P.vmt [-o OUT.vmt]     automatic triangle target extraction\n"
    "  vistamet-cli distcheck P.vmt KNOWN.txt [--reports DIR]\n"
    "                                               known distances against the coordinates\n"
    "  vistamet-cli new P.vmt PHOTO... [--f MM] [--pixel-size MM]\n"
    "                                               a new project from two photos or more\n"
    "                                               (camera from EXIF unless given)\n"
    "  vistamet-cli map P.vmt -o OUT.pdf|.svg|.dxf [--scale N] [--plane NUMBER]\n"
    "                                               the plan map: the page at 1:N (PDF, SVG)\n"
    "                                               or the drawing in object mm (DXF); the\n"
    "                                               plane point from the project or --plane\n"
    "  vistamet-cli make-sample DIR [--size WxH] [--photos N] [--noise PX]\n"
    "               [--format bmp|jpeg|png|tiff]    writes the synthetic sample project\n";

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
  for (const std::string& note : r.notes) std::fprintf(stderr, "vistamet-cli: %s\n", note.c_str());
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
    std::printf("  %d: %s (%d x %d)\n", i + 1, doc.photoPaths[i].c_str(), img.width,
                img.height);
  }
  std::printf("current photo: %d\n", doc.currentPhoto + 1);
  std::printf("image points: %zu (%d numbered)\n", doc.imagePoints.size(), numbered);
  std::printf("space points: %zu (%d control)\n", doc.spacePoints.size(), controls);
  std::printf("distances: %d\n", doc.DistanceCount());
  std::printf("map features: %zu\n", doc.mapFeatures.size());
  std::printf("back-projected points: %zu\n", doc.adjustedPoints.size());
  std::printf("targets extracted: %s\n", doc.targetsExtracted ? "yes" : "no");
  std::printf("adjusted: %s\n", doc.adjusted ? "yes" : "no");
  const AdjustmentOptions o = doc.options;
  std::printf("options: angle tolerance %g rad, coordinate tolerance %g mm, "
              "control weight %g, iterations %d, keep minimum RMS %d, clean points %d, "
              "matching %d, automatic transfer %d\n",
              o.dAngleTol, o.dCoordTol, o.dControlWeight, o.nMaxIter, o.bKeepMinRms,
              o.bCleanPoints, o.bLmsFeature, doc.bAutoPlaneTrans);
  return 0;
}

// Reads "-o FILE" and "--reports DIR" after the positional arguments.
bool ParseOutputOptions(const std::vector<std::string>& args, size_t first, std::string* out,
                        std::string* reports, CVistametDoc* doc = nullptr) {
  for (size_t i = first; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    char* end = nullptr;
    if (doc && has_value &&
        (args[i] == "--coord-tol" || args[i] == "--angle-tol" || args[i] == "--max-iter")) {
      const double v = std::strtod(args[i + 1].c_str(), &end);
      if (end == args[i + 1].c_str() || *end != '\0' || !(v > 0) || v > 1e9) {
        Fail(args[i] + " takes a positive number");
        return false;
      }
      if (args[i] == "--coord-tol") doc->options.dCoordTol = v;
      if (args[i] == "--angle-tol") doc->options.dAngleTol = v;
      if (args[i] == "--max-iter") doc->options.nMaxIter = static_cast<int32_t>(v);
      ++i;
    } else if (args[i] == "-o" && out && has_value) {
      *out = args[++i];
    } else if (args[i] == "--reports" && i + 1 < args.size()) {
      *reports = args[++i];
    } else {
      Fail("unknown option " + args[i]);
      return false;
    }
  }
  return true;
}

// Takes "--engine NAME" and "--precision FILE" out of the arguments.
bool ParseAdjustOptions(std::vector<std::string>* args, AdjustEngine* engine,
                        std::string* precision) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args->size(); ++i) {
    const std::string& a = (*args)[i];
    const bool has_value = i + 1 < args->size();
    if (a == "--engine" && has_value) {
      const std::string& name = (*args)[++i];
      if (name != "reduced" && name != "dense") {
        Fail("--engine takes reduced or dense");
        return false;
      }
      *engine = name == "dense" ? AdjustEngine::kDense : AdjustEngine::kReduced;
    } else if (a == "--precision" && has_value) {
      *precision = (*args)[++i];
    } else {
      rest.push_back(a);
    }
  }
  *args = std::move(rest);
  return true;
}

// number,X,Y,Z,sX,sY,sZ,rays,control: one line per point of the last
// adjustment (control points have 0 standard deviations: they are held).
bool WritePrecisionCsv(const CVistametDoc& doc, const std::string& path, std::string* error) {
  std::string text = "number,X,Y,Z,sX,sY,sZ,rays,control\n";
  const AdjustPrecision& pr = doc.lastAdjustment.precision;
  for (const SpacePoint& s : doc.spacePoints) {
    const std::array<double, 3>* sigma = pr.OfPoint(s.pointNumber);
    if (!sigma) continue;
    text += common::StrFormat("%d,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%d,%d\n", s.pointNumber, s.X, s.Y,
                              s.Z, (*sigma)[0], (*sigma)[1], (*sigma)[2], s.rayCount,
                              s.IsControl() ? 1 : 0);
  }
  if (common::SaveFileAtomically(path, text)) return true;
  *error = path + ": cannot be written";
  return false;
}

int Adjust(std::vector<std::string> args) {
  if (args.empty()) return Fail("adjust needs a project file");
  std::string out, reports = ".", precision;
  CVistametDoc doc;
  if (!ParseAdjustOptions(&args, &doc.adjustEngine, &precision)) return 2;
  // The precision costs one more solve and the inverse of the reduced
  // system: only when it is wanted.
  doc.adjustPrecision = !precision.empty();
  if (!Open(args[0], &doc, nullptr)) return 1;
  if (!ParseOutputOptions(args, 1, &out, &reports, &doc)) return 2;
  CliPrompt prompt;
  CliProgress progress;
  CliProgress::StopOnInterrupt();
  doc.SetPrompt(&prompt);
  AdjustSummary summary;
  const AdjustmentReports report_files(reports);
  const int ok = doc.BundleAdjust(report_files, &progress, &summary);
  if (summary.status == AdjustStatus::kCancelled) {
    std::printf("adjustment: cancelled, nothing written\n");
    return 130;
  }
  for (const std::string& failure : report_files.failures())
    std::fprintf(stderr, "vistamet-cli: report not written: %s\n", failure.c_str());
  const bool not_converged = summary.status == AdjustStatus::kIterationLimit;
  std::printf("adjustment: %s\n", ok              ? "converged"
                                   : not_converged ? AdjustStatusText(summary)
                                                   : "failed");
  std::printf("iterations: %d (best %d)\n", summary.iterations, summary.bestIteration);
  std::printf("rms: %.6f mm (linear %.6f mm), redundancy %d\n", summary.rms, summary.rmsLinear,
              summary.redundancy);
  if (summary.precision.available)
    std::printf("sigma0: %.6f mm\n", summary.precision.sigma0);
  std::printf("photos (Xs Ys Zs mm, phi omega kappa rad):\n");
  for (int i = 0; i < doc.PhotoCount(); ++i) {
    const PhotoParams& p = doc.photoParams[i];
    std::printf("  %d: %12.4f %12.4f %12.4f %12.8f %12.8f %12.8f\n", i + 1, p.Xs, p.Ys, p.Zs,
                p.phi, p.omega, p.kappa);
  }
  std::printf("points (X Y Z mm):\n");
  for (const SpacePoint& s : doc.spacePoints)
    std::printf("  %5d %12.4f %12.4f %12.4f%s rays %d\n", s.pointNumber, s.X, s.Y, s.Z,
                s.IsControl() ? " control" : "        ", s.rayCount);
  if (!out.empty()) {
    std::string message;
    if (!SaveProjectFile(doc, out, &message)) return Fail(message);
    std::printf("written: %s\n", out.c_str());
  }
  if (!precision.empty() && (ok || not_converged)) {
    std::string message;
    if (!WritePrecisionCsv(doc, precision, &message)) return Fail(message);
    std::printf("precision: %s\n", precision.c_str());
  }
  if (!report_files.failures().empty()) return 1;
  return ok ? 0 : not_converged ? 3 : 1;
}

int Extract(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("extract needs a project file");
  std::string out, reports;
  if (!ParseOutputOptions(args, 1, &out, &reports)) return 2;
  if (out.empty()) out = args[0];
  CVistametDoc doc;
  if (!Open(args[0], &doc, nullptr)) return 1;
  if (!doc.ExtractNow(ExtractionKind::kAllPhotos)) return Fail("the project has no photo");
  std::vector<int> per_photo(doc.PhotoCount(), 0);
  for (const ImagePoint& p : doc.imagePoints) ++per_photo[p.photoIndex];
  for (int i = 0; i < doc.PhotoCount(); ++i)
    std::printf("photo %d: %d points\n", i + 1, per_photo[i]);
  std::string message;
  if (!SaveProjectFile(doc, out, &message)) return Fail(message);
  std::printf("written: %s\n", out.c_str());
  return 0;
}

int DistCheck(const std::vector<std::string>& args) {
  if (args.size() < 2) return Fail("distcheck needs a project file and a known-distance file");
  std::string reports = ".";
  if (!ParseOutputOptions(args, 2, nullptr, &reports)) return 2;
  CVistametDoc doc;
  if (!Open(args[0], &doc, nullptr)) return 1;
  DistanceCheck check;
  std::string error;
  if (!RunDistanceCheck(args[1], doc.spacePoints, reports, &check, &error)) return Fail(error);
  std::fputs(check.report.c_str(), stdout);
  std::printf("report: %s/%s\n", reports.c_str(), kDistanceReportName);
  return 0;
}

// A number option's value: positive and finite.
bool PositiveValue(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' && *value > 0 && *value < 1e6;
}

int New(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("new needs a project file and two photos or more");
  NewProjectCamera camera;
  std::vector<std::string> photos;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--f" || args[i] == "--pixel-size") {
      double* v = args[i] == "--f" ? &camera.f : &camera.pixelSize;
      if (i + 1 >= args.size() || !PositiveValue(args[i + 1], v))
        return Fail(args[i] + " takes a positive number of millimetres");
      ++i;
    } else {
      // Stored in full, so the project opens from any folder.
      char resolved[PATH_MAX];
      photos.push_back(::realpath(args[i].c_str(), resolved) ? std::string(resolved) : args[i]);
    }
  }
  if (photos.size() < 2) return Fail("a project needs two photos or more");
  if (::access(args[0].c_str(), F_OK) == 0) return Fail(args[0] + ": the file already exists");
  CVistametDoc doc;
  std::string error;
  if (!doc.InitNewProject(photos, &error, camera)) return Fail(error);
  for (int i = 0; i < doc.PhotoCount(); ++i) {
    PhotoInfo info;
    ProbePhotoFile(doc.photoPaths[i], &info);
    std::printf("photo %d: %s (%d x %d, %s%s%s) f %g mm, pixel size %g mm\n", i + 1,
                doc.photoPaths[i].c_str(), info.width, info.height, PhotoFormatName(info.format),
                info.camera.empty() ? "" : ", ", info.camera.c_str(), doc.photoParams[i].f,
                doc.photoParams[i].pixelSize);
  }
  std::string message;
  if (!SaveProjectFile(doc, args[0], &message)) return Fail(message);
  std::printf("written: %s\n", args[0].c_str());
  return 0;
}

// The symbol library beside this program or in its installed data folder;
// an empty library (features are then left out) when there is none.
SymbolLibrary LoadSymbols() {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string dir = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string(".");
  dir = dir.substr(0, dir.find_last_of('/') == std::string::npos ? 0 : dir.find_last_of('/'));
  SymbolLibrary symbols;
  std::string error;
  for (const std::string& place : SymbolLibraryPlaces(dir.empty() ? "." : dir))
    if (LoadPdxFile(place, &symbols, &error)) return symbols;
  std::fprintf(stderr, "vistamet-cli: %s: symbol library not found, features left out\n",
               kSymbolLibraryFile);
  return symbols;
}

// A whole number in [lo, hi], or false.
bool WholeNumber(const std::string& text, long lo, long hi, int32_t* out) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < lo || v > hi) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

int Map(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("map needs a project file");
  std::string out;
  int32_t scale = 0, plane = 0;
  bool plane_given = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      out = args[++i];
    } else if (args[i] == "--scale" && i + 1 < args.size()) {
      if (!WholeNumber(args[++i], 1, 10000000, &scale)) return Fail("--scale takes 1 to 10000000");
    } else if (args[i] == "--plane" && i + 1 < args.size()) {
      if (!WholeNumber(args[++i], INT32_MIN, INT32_MAX, &plane)) return Fail("--plane takes a point number");
      plane_given = true;
    } else {
      return Fail("unknown option " + args[i]);
    }
  }
  if (out.empty()) return Fail("map needs -o OUT.pdf, OUT.svg or OUT.dxf");
  if (MapFileKindOf(out) == MapFileKind::kUnknown) return Fail(out + ": not .pdf, .svg or .dxf");
  CVistametDoc doc;
  if (!Open(args[0], &doc, nullptr)) return 1;
  if (scale > 0) doc.mapScale = scale;
  if (plane_given) {
    doc.planePoint = plane;
    doc.planeSet = 1;
  }
  if (doc.adjusted != 1) std::fprintf(stderr, "vistamet-cli: the project is not adjusted: header only\n");
  std::string error;
  if (!ExportPlanMap(doc, MapViewState{}, LoadSymbols(), out, &error)) return Fail(error);
  std::printf("written: %s (1:%d)\n", out.c_str(), SaneMapScale(doc.mapScale));
  return 0;
}

int MakeSample(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("make-sample needs a folder");
  SampleOptions options;
  PhotoFormat format = PhotoFormat::kBmp;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--format" && i + 1 < args.size()) {
      const std::string f = args[++i];
      format = f == "bmp" ? PhotoFormat::kBmp : f == "jpeg" ? PhotoFormat::kJpeg
             : f == "png" ? PhotoFormat::kPng : f == "tiff" ? PhotoFormat::kTiff
                          : PhotoFormat::kUnknown;
      if (format == PhotoFormat::kUnknown) return Fail("--format takes bmp, jpeg, png or tiff");
    } else if (args[i] == "--size" && i + 1 < args.size()) {
      if (std::sscanf(args[++i].c_str(), "%dx%d", &options.width, &options.height) != 2 ||
          options.width < 200 || options.height < 200 || options.width > 20000 ||
          options.height > 20000)
        return Fail("--size takes WxH, 200 to 20000 pixels each");
    } else if (args[i] == "--photos" && i + 1 < args.size()) {
      options.photos = std::atoi(args[++i].c_str());
      if (options.photos < 2 || options.photos > 8) return Fail("--photos takes 2 to 8");
    } else if (args[i] == "--noise" && i + 1 < args.size()) {
      options.noisePx = std::atof(args[++i].c_str());
      if (!(options.noisePx >= 0) || options.noisePx > 50) return Fail("--noise takes 0 to 50 pixels");
    } else {
      return Fail("unknown option " + args[i]);
    }
  }
  std::string error;
  if (!WriteSampleProject(args[0], options, &error, format)) return Fail(error);
  std::printf("sample project written to %s (sample.vmt, sample_photos.vmt, "
              "known_distances.txt, truth.txt)\n",
              args[0].c_str());
  return 0;
}

}  // namespace
}  // namespace vistamet::cli

int main(int argc, char** argv) {
  using namespace vistamet::cli;
  // A limit on file size makes a save fail with a message instead of
  // ending the program without a word.
  ::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "info") return Info(args);
  if (command == "make-sample") return MakeSample(args);
  if (command == "new") return New(args);
  if (command == "adjust") return Adjust(args);
  if (command == "distcheck") return DistCheck(args);
  if (command == "extract") return Extract(args);
  if (command == "map") return Map(args);
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::fprintf(stderr, "vistamet-cli: unknown command %s\n%s", command.c_str(), kUsage);
  return 2;
}
