#include "measure/model/sample_project.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/compute/camera_model.h"
#include "measure/model/bitmap.h"
#include "measure/model/photo_encode.h"
#include "measure/model/project_file.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

namespace {

// Renders a dark, apex-down triangle whose tip is at (px, py), the 11 x 6
// pattern enlarged by `scale`, with 4 x 4 supersampling. Samples are taken
// in pixel-corner coordinates (pixel x spans [x, x + 1)), so the tip, in
// pixel-centre coordinates at (px, py), is at (px + 0.5, py + 0.5) here.
void DrawTarget(std::vector<float>& grey, int w, int h, double px, double py, double scale) {
  const double bottom = py + 0.5, top = bottom - 6.0 * scale;
  const double half = 4.5 * scale;
  const int x0 = std::max(0, static_cast<int>(px - half - 2 * scale));
  const int x1 = std::min(w - 1, static_cast<int>(px + half + 2 * scale));
  const int y0 = std::max(0, static_cast<int>(top - 2 * scale));
  const int y1 = std::min(h - 1, static_cast<int>(py + 3 * scale));
  // White card around the triangle, then the triangle.
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double u = x + (sx + 0.5) / 4.0, v = y + (sy + 0.5) / 4.0;
          if (v < top || v > bottom) continue;
          const double t = (bottom - v) / (bottom - top);  // 0 at the apex
          if (std::fabs(u - (px + 0.5)) <= half * t) ++inside;
        }
      const double a = inside / 16.0;
      grey[static_cast<size_t>(y) * w + x] = static_cast<float>(235.0 * (1 - a) + 25.0 * a);
    }
}

bool WriteText(const std::string& path, const std::string& text, std::string* error) {
  return common::SaveFileAtomically(path, text, error);
}

// One photo in the chosen format; *path receives its name.
bool WriteSamplePhoto(const std::string& dir, int number, int w, int h, std::vector<uint8_t> bgr,
                      PhotoFormat format, const PhotoParams& camera, std::string* path,
                      std::string* error) {
  const char* ext = format == PhotoFormat::kJpeg ? "jpg"
                    : format == PhotoFormat::kPng ? "png"
                    : format == PhotoFormat::kTiff ? "tif"
                                                   : "bmp";
  *path = dir + common::StrFormat("/photo%d.%s", number, ext);
  if (format == PhotoFormat::kBmp || format == PhotoFormat::kUnknown)
    return common::SaveFileAtomically(*path, EncodeBitmap24(w, h, bgr.data()), error);
  for (size_t k = 0; k + 2 < bgr.size(); k += 3) std::swap(bgr[k], bgr[k + 2]);  // to RGB
  if (format == PhotoFormat::kTiff)
    return WriteTiffFile(*path, w, h, 3, 8, bgr.data(), 64, 0, error);
  std::string bytes;
  if (format == PhotoFormat::kPng) {
    bytes = EncodePng(w, h, 3, 8, bgr.data());
  } else {
    ExifFields exif;
    exif.focalLengthMm = camera.f;
    exif.focalPlaneXResolution = camera.pixelSize > 0 ? 10.0 / camera.pixelSize : 0;
    exif.resolutionUnit = 3;  // pixels per cm
    exif.make = "Vistamet";
    exif.model = "Vistamet sample camera";
    bytes = EncodeJpeg(w, h, 3, bgr.data(), 95, BuildExifBlock(exif));
  }
  if (bytes.empty()) {
    if (error) *error = *path + ": the photo cannot be encoded";
    return false;
  }
  return common::SaveFileAtomically(*path, bytes, error);
}

}  // namespace

bool WriteSampleProject(const std::string& folder, const SampleOptions& o, std::string* error,
                        PhotoFormat format) {
  ::mkdir(folder.c_str(), 0777);
  // The project stores full photo paths, so it opens from any folder.
  char resolved[PATH_MAX];
  const std::string dir = ::realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
  const SampleScene scene = MakeSampleScene(o);
  SampleOptions exact_options = o;
  exact_options.noisePx = 0;
  const SampleScene exact = MakeSampleScene(exact_options);
  const int n = static_cast<int>(scene.photos.size());
  std::vector<std::string> paths;
  std::mt19937 rng(o.seed);
  std::normal_distribution<float> noise(0.0f, 3.0f);
  const int w = o.width, h = o.height;
  for (int i = 0; i < n; ++i) {
    // A softly lit background with a little noise and a faint texture.
    std::vector<float> grey(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        grey[static_cast<size_t>(y) * w + x] =
            150.0f + 40.0f * static_cast<float>(x) / w - 25.0f * static_cast<float>(y) / h +
            6.0f * static_cast<float>(std::sin(x * 0.013 + i) * std::cos(y * 0.011)) +
            noise(rng);
    for (const ImagePoint& ip : exact.observations[i])
      DrawTarget(grey, w, h, ip.x, ip.y, o.targetScale);
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    for (size_t k = 0; k < grey.size(); ++k) {
      const float g = std::clamp(grey[k], 0.0f, 255.0f);
      bgr[3 * k] = static_cast<uint8_t>(std::clamp(g + 4.0f, 0.0f, 255.0f));
      bgr[3 * k + 1] = static_cast<uint8_t>(g);
      bgr[3 * k + 2] = static_cast<uint8_t>(std::clamp(g - 3.0f, 0.0f, 255.0f));
    }
    std::string path;
    if (!WriteSamplePhoto(dir, i + 1, w, h, std::move(bgr), format, scene.photos[0], &path, error))
      return false;
    paths.push_back(path);
  }

  // The photos alone: what a user starts a project from.
  CVistametDoc photos_only;
  if (!photos_only.InitNewProject(paths, error)) return false;
  for (PhotoParams& p : photos_only.photoParams) p.pixelSize = scene.photos[0].pixelSize;
  std::string message;
  if (!SaveProjectFile(photos_only, dir + "/sample_photos.vmt", &message)) {
    if (error) *error = message;
    return false;
  }

  // Every target measured and numbered, control points entered, ordinary
  // points waiting for the adjustment.
  CVistametDoc measured = std::move(photos_only);
  for (int i = 0; i < n; ++i)
    for (const ImagePoint& ip : scene.observations[i]) measured.imagePoints.push_back(ip);
  for (const SpacePoint& s : scene.points) {
    if (measured.FindImagePointByNumber(s.pointNumber, 0, false) < 0) continue;
    SpacePoint entered = s;
    if (!s.IsControl()) entered.X = entered.Y = entered.Z = 0;
    measured.spacePoints.push_back(entered);
  }
  measured.distancePairs = {1000, 1002, 1, 3, 2, 4, 5, 16};
  measured.targetsExtracted = 1;
  // The positions are exact; matching re-measures the targets by the model
  // fit, which leaves exact positions where they are.
  measured.options.bLmsFeature = 1;
  measured.mapTitle = "样例工程";
  if (!SaveProjectFile(measured, dir + "/sample.vmt", &message)) {
    if (error) *error = message;
    return false;
  }

  // Known distances between true points (start, end, mm).
  std::string known;
  const int32_t pairs[][2] = {{1, 3}, {2, 4}, {5, 16}, {6, 11}, {1000, 1002}, {8, 13}};
  for (const auto& pr : pairs) {
    const SpacePoint* a = nullptr;
    const SpacePoint* b = nullptr;
    for (const SpacePoint& s : scene.points) {
      if (s.pointNumber == pr[0]) a = &s;
      if (s.pointNumber == pr[1]) b = &s;
    }
    if (!a || !b) continue;
    const double d = std::sqrt((a->X - b->X) * (a->X - b->X) + (a->Y - b->Y) * (a->Y - b->Y) +
                               (a->Z - b->Z) * (a->Z - b->Z));
    common::StrAppendFormat(&known, "%d %d %.3f\n", pr[0], pr[1], d);
  }
  if (!WriteText(dir + "/known_distances.txt", known, error)) return false;

  std::string truth = "# Synthetic sample: camera stations (mm, rad) and points (mm)\n";
  common::StrAppendFormat(&truth, "# photo size %d x %d px, f %.3f mm, pixel %.4f mm\n", w, h,
                          scene.photos[0].f, scene.photos[0].pixelSize);
  for (int i = 0; i < n; ++i) {
    const PhotoParams& p = scene.photos[i];
    common::StrAppendFormat(&truth, "station %d %.3f %.3f %.3f %.9f %.9f %.9f\n", i + 1, p.Xs,
                            p.Ys, p.Zs, p.phi, p.omega, p.kappa);
  }
  for (const SpacePoint& s : scene.points)
    common::StrAppendFormat(&truth, "point %d %.3f %.3f %.3f %s\n", s.pointNumber, s.X, s.Y,
                            s.Z, s.IsControl() ? "control" : "check");
  return WriteText(dir + "/truth.txt", truth, error);
}

}  // namespace vistamet
