// The triangle target extraction of a project: every photo (full
// extraction) or only the last one (after a photo was added) is searched for
// up to 50 targets, and each target becomes an unnumbered image point.
//
// The job never sees the project's lists. It searches its own copies of the
// grey images and returns the new points in an ExtractionResult; the owner
// of the lists applies that result on its own thread (ApplyExtraction), so
// the lists have one writer only. ExtractionRunner (extraction_runner.h)
// runs a job on a worker thread.
//
// Photos are searched in parallel; the points are returned in photo order,
// each photo's points best first, exactly as a sequential run gives them.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "measure/compute/grey_image.h"
#include "measure/compute/triangle_finder.h"
#include "measure/compute/triangle_refinement.h"
#include "measure/records/records.h"

namespace vistamet {

enum class ExtractionKind {
  kAllPhotos,   // replaces all image points, space points and distances
  kAddedPhoto,  // appends the points of the last photo, keeps everything else
};

// The grey image of one photo, owned by the job.
struct ExtractionPhoto {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> grey;  // width * height, top row first
};

struct ExtractionRequest {
  ExtractionKind kind = ExtractionKind::kAllPhotos;
  int32_t photoCount = 0;  // photos of the project when the request was made
  int32_t firstPhoto = 0;  // photo index of photos[0]
  std::vector<ExtractionPhoto> photos;
  int maxPerPhoto = kMaxTrianglesPerPhoto;
  int threads = 0;  // photos searched at once; 0 = one per processor core
  TargetOptions targets;  // refinement, rejection and weights of the targets
};

// A request with copies of the grey images it needs: all photos, or the
// last one for kAddedPhoto. A project without photos gives a request
// without photos, whose job ends at once.
ExtractionRequest MakeExtractionRequest(ExtractionKind kind, const std::vector<ImageHolder>& images);

struct ExtractionResult {
  ExtractionKind kind = ExtractionKind::kAllPhotos;
  int32_t photoCount = 0;
  int32_t firstPhoto = 0;
  int completed = 0;  // 1: every photo was searched; 0: stopped
  // The new image points: x, y of the target, weights 1.0 (or from the
  // fit's precision when the options ask for it), matchState 1,
  // the photo's index, unnumbered. Photo order, best first per photo.
  std::vector<ImagePoint> imagePoints;
  std::vector<int32_t> foundPerPhoto;  // parallel to the request's photos
};

// Searches `photos` (photo indexes firstPhoto, firstPhoto + 1, ...) for
// targets as FindTargets with `options` finds them, with
// up to `threads` threads (0 = one per core) and fills *points with the
// points in photo order and *foundPerPhoto with one count per photo. A photo
// whose grey image is not valid gives no point. Returns 1, or 0 (outputs
// emptied) when *stop became true.
int ExtractTrianglePoints(std::span<const GreyImage> photos, int32_t firstPhoto, int maxPerPhoto,
                          int threads, const TargetOptions& options,
                          std::vector<ImagePoint>* points,
                          std::vector<int32_t>* foundPerPhoto,
                          const std::atomic<bool>* stop = nullptr);

// The whole job on the calling thread.
ExtractionResult RunExtraction(const ExtractionRequest& request,
                               const std::atomic<bool>* stop = nullptr);

// Writes a finished job into the project's lists; call it on the thread
// that owns them.
//  kAllPhotos:  imagePoints becomes the found points, spacePoints and
//               distancePairs are emptied;
//  kAddedPhoto: the found points are appended to imagePoints.
// Then targetsExtracted = 1 and adjusted = 0. Returns 1, or 0 with nothing
// changed when the job was stopped, had no photo, or the project no longer
// has the photo count the job was made for.
int ApplyExtraction(ExtractionResult&& result, int32_t photoCount,
                    std::vector<ImagePoint>& imagePoints, std::vector<SpacePoint>& spacePoints,
                    DistancePairs& distancePairs, int32_t& targetsExtracted, int32_t& adjusted);

}  // namespace vistamet
