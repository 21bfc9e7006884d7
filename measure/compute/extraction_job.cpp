#include "measure/compute/extraction_job.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

namespace vistamet {
namespace {

bool Stopped(const std::atomic<bool>* stop) {
  return stop != nullptr && stop->load(std::memory_order_relaxed);
}

ExtractionPhoto CopyPhoto(const ImageHolder& image) {
  ExtractionPhoto p;
  p.width = image.width;
  p.height = image.height;
  p.grey = image.grey;
  return p;
}

}  // namespace

ExtractionRequest MakeExtractionRequest(ExtractionKind kind,
                                        const std::vector<ImageHolder>& images) {
  ExtractionRequest r;
  r.kind = kind;
  r.photoCount = static_cast<int32_t>(images.size());
  if (images.empty()) return r;
  if (kind == ExtractionKind::kAddedPhoto) {
    r.firstPhoto = r.photoCount - 1;
    r.photos.push_back(CopyPhoto(images.back()));
  } else {
    r.photos.reserve(images.size());
    for (const ImageHolder& image : images) r.photos.push_back(CopyPhoto(image));
  }
  return r;
}

int ExtractTrianglePoints(std::span<const GreyImage> photos, int32_t firstPhoto, int maxPerPhoto,
                          int threads, const TargetOptions& options,
                          std::vector<ImagePoint>* points,
                          std::vector<int32_t>* foundPerPhoto, const std::atomic<bool>* stop) {
  points->clear();
  foundPerPhoto->clear();
  const size_t n = photos.size();
  std::vector<std::vector<FoundTarget>> found(n);

  // Each thread takes the next photo not yet taken and writes only that
  // photo's slot; the slots are read after every thread has been joined.
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (;;) {
      if (Stopped(stop)) return;
      const size_t i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= n) return;
      FindTargets(photos[i], maxPerPhoto, options, &found[i], stop);
    }
  };
  size_t wanted = threads > 0 ? static_cast<size_t>(threads)
                              : std::max<size_t>(1, std::thread::hardware_concurrency());
  wanted = std::min(wanted, n);
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < wanted; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones running share the photos
    }
  }
  work();
  for (std::thread& h : helpers) h.join();
  if (Stopped(stop)) return 0;

  size_t total = 0;
  for (const auto& f : found) total += f.size();
  points->reserve(total);
  foundPerPhoto->reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const int32_t photo = firstPhoto + static_cast<int32_t>(i);
    for (const FoundTarget& t : found[i]) {
      ImagePoint p;
      p.x = t.x;
      p.y = t.y;
      p.weightX = options.weightsFromFit ? WeightFromSigma(t.sigmaX) : 1.0;
      p.weightY = options.weightsFromFit ? WeightFromSigma(t.sigmaY) : 1.0;
      p.matchState = 1;
      p.photoIndex = photo;
      p.pointNumber = kNoNumber;
      points->push_back(p);
    }
    foundPerPhoto->push_back(static_cast<int32_t>(found[i].size()));
  }
  return 1;
}

ExtractionResult RunExtraction(const ExtractionRequest& request, const std::atomic<bool>* stop) {
  ExtractionResult result;
  result.kind = request.kind;
  result.photoCount = request.photoCount;
  result.firstPhoto = request.firstPhoto;
  std::vector<GreyImage> views;
  views.reserve(request.photos.size());
  for (const ExtractionPhoto& p : request.photos) views.push_back(GreyView(p.grey, p.width, p.height));
  result.completed = ExtractTrianglePoints(views, request.firstPhoto, request.maxPerPhoto,
                                           request.threads, request.targets, &result.imagePoints,
                                           &result.foundPerPhoto, stop);
  return result;
}

int ApplyExtraction(ExtractionResult&& result, int32_t photoCount,
                    std::vector<ImagePoint>& imagePoints, std::vector<SpacePoint>& spacePoints,
                    DistancePairs& distancePairs, int32_t& targetsExtracted, int32_t& adjusted) {
  if (result.completed != 1 || result.photoCount <= 0 || result.photoCount != photoCount) {
    return 0;
  }
  const size_t searched = result.foundPerPhoto.size();
  const bool full = result.kind == ExtractionKind::kAllPhotos;
  if (full ? (result.firstPhoto != 0 || searched != static_cast<size_t>(photoCount))
           : (result.firstPhoto != photoCount - 1 || searched != 1)) {
    return 0;
  }
  for (const ImagePoint& p : result.imagePoints) {
    if (p.photoIndex < 0 || p.photoIndex >= photoCount) return 0;
  }
  if (full) {
    imagePoints = std::move(result.imagePoints);
    spacePoints.clear();
    distancePairs.clear();
  } else {
    imagePoints.insert(imagePoints.end(), result.imagePoints.begin(), result.imagePoints.end());
  }
  targetsExtracted = 1;
  adjusted = 0;
  return 1;
}

}  // namespace vistamet
