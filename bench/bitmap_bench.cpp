// Decoding photos (a large 24-bit BMP with its grey buffer, a 24 MP JPEG)
// from files in the page cache, and opening a project of large photos.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"
#include "measure/model/photo_encode.h"
#include "measure/model/photo_file.h"
#include "measure/model/photo_thumbnails.h"
#include "measure/model/project_file.h"
#include "measure/model/vistamet_doc.h"

namespace {

void BM_LoadBitmap24(benchmark::State& state) {
  const int w = 6000, h = 4000;
  const std::string path = "/tmp/vistamet_bench_6000x4000.bmp";
  {
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    for (size_t k = 0; k < bgr.size(); ++k) bgr[k] = static_cast<uint8_t>(k * 31 + (k >> 12));
    common::SaveFileAtomically(path, vistamet::EncodeBitmap24(w, h, bgr.data()));
  }
  const double bytes = 54.0 + 18000.0 * h;
  vistamet::ImageHolder img;
  for (auto _ : state) {
    if (!vistamet::LoadBitmapFile(path, &img)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(img.grey.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadBitmap24)->Unit(benchmark::kMillisecond);

// A 24-megapixel JPEG like a camera's: smooth shading with fine texture.
const std::string& Jpeg24Mp() {
  static const std::string jpeg = [] {
    const int w = 6000, h = 4000;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        const int t = ((x * 7 + y * 13) ^ (x * y)) & 15;
        p[0] = static_cast<uint8_t>((x / 24 + t) & 0xFF);
        p[1] = static_cast<uint8_t>((y / 16 + t) & 0xFF);
        p[2] = static_cast<uint8_t>(((x + y) / 40 + t) & 0xFF);
      }
    return vistamet::EncodeJpeg(w, h, 3, rgb.data(), 92);
  }();
  return jpeg;
}

// One 24 MP JPEG decoded: to the grey image only (extraction, matching),
// with its colour rows (the image view), and at 1/8 (thumbnails).
void BM_DecodeJpeg24Mp(benchmark::State& state) {
  const std::string& jpeg = Jpeg24Mp();
  vistamet::DecodeOptions options;
  options.colour = state.range(0) == 1;
  options.reduce = static_cast<int>(state.range(1));
  vistamet::ImageHolder img;
  for (auto _ : state) {
    std::string error;
    if (!vistamet::DecodePhoto(jpeg, "bench.jpg", options, &img, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(img.grey.data());
  }
  state.SetLabel(options.colour ? "colour" : "grey");
}
BENCHMARK(BM_DecodeJpeg24Mp)->Args({0, 1})->Args({1, 1})->Args({0, 8})->Unit(benchmark::kMillisecond);

// The header probe that opening a project does per photo.
void BM_ProbeJpeg24Mp(benchmark::State& state) {
  const std::string path = "/tmp/vistamet_bench_24mp.jpg";
  common::SaveFileAtomically(path, Jpeg24Mp());
  vistamet::PhotoInfo info;
  for (auto _ : state) {
    if (!vistamet::ProbePhotoFile(path, &info)) state.SkipWithError("probe failed");
    benchmark::DoNotOptimize(info.width);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ProbeJpeg24Mp)->Unit(benchmark::kMicrosecond);

// A project of 40 photos of 24 MP (40 links to one JPEG) in `dir`; the
// photo paths in *paths. False when it cannot be written.
bool WriteProject40x24Mp(const std::string& dir, std::vector<std::string>* paths) {
  ::mkdir(dir.c_str(), 0700);
  const std::string first = dir + "/photo0.jpg";
  common::SaveFileAtomically(first, Jpeg24Mp());
  *paths = {first};
  for (int i = 1; i < 40; ++i) {
    paths->push_back(dir + "/photo" + std::to_string(i) + ".jpg");
    ::unlink(paths->back().c_str());
    ::link(first.c_str(), paths->back().c_str());
  }
  vistamet::CVistametDoc doc;
  std::string error, message;
  return doc.InitNewProject(*paths, &error) &&
         vistamet::SaveProjectFile(doc, dir + "/p.vmt", &message);
}

void RemoveProject(const std::string& dir, const std::vector<std::string>& paths) {
  for (const std::string& p : paths) ::unlink(p.c_str());
  ::unlink((dir + "/p.vmt").c_str());
}

// Opening that project: headers only. The counter is the process's peak
// resident memory.
void BM_OpenProject40x24Mp(benchmark::State& state) {
  const std::string dir = "/tmp/vistamet_bench_project";
  std::vector<std::string> paths;
  if (!WriteProject40x24Mp(dir, &paths)) {
    state.SkipWithError("cannot write the project");
    return;
  }
  for (auto _ : state) {
    vistamet::CVistametDoc loaded;
    if (!vistamet::LoadProjectFile(dir + "/p.vmt", &loaded).ok()) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(loaded.photoImages.data());
  }
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  RemoveProject(dir, paths);
}
BENCHMARK(BM_OpenProject40x24Mp)->Unit(benchmark::kMillisecond);

// What the program does to open that project once its thumbnails are in
// the cache folder: the project's headers, then the strip's 40 thumbnails
// read back (the window's own drawing aside).
void BM_OpenProjectWithCachedThumbnails(benchmark::State& state) {
  const std::string dir = "/tmp/vistamet_bench_thumbs";
  const std::string cache = dir + "/cache";
  std::vector<std::string> paths;
  if (!WriteProject40x24Mp(dir, &paths)) {
    state.SkipWithError("cannot write the project");
    return;
  }
  ::mkdir(cache.c_str(), 0700);
  vistamet::ImageHolder thumb;
  for (const std::string& p : paths) vistamet::LoadPhotoThumbnail(p, &thumb, nullptr, cache);
  for (auto _ : state) {
    vistamet::CVistametDoc loaded;
    if (!vistamet::LoadProjectFile(dir + "/p.vmt", &loaded).ok()) state.SkipWithError("open failed");
    for (const std::string& p : loaded.photoPaths)
      if (!vistamet::LoadPhotoThumbnail(p, &thumb, nullptr, cache))
        state.SkipWithError("no thumbnail");
    benchmark::DoNotOptimize(thumb.grey.data());
  }
  RemoveProject(dir, paths);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenProjectWithCachedThumbnails)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
