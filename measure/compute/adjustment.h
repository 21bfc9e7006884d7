// The adjustment core: an iterated least-squares adjustment of the
// collinearity equations over all photos' exterior orientations and the
// coordinates of the unknown points, with its reports.
//
// Unknowns, in this order: for each photo in photo order the six
// corrections Xs, Ys, Zs, phi, omega, kappa; then for each point of the
// point list with controlFlag 0 (in list order) X, Y, Z. Points with
// controlFlag -1 are held fixed.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "measure/records/records.h"
#include "measure/records/user_prompt.h"  // Progress

namespace vistamet {

// The nine groups of unknowns; a group that is off loses its column.
struct AdjustSwitches {
  bool Xs = true, Ys = true, Zs = true;
  bool phi = true, omega = true, kappa = true;
  bool X = true, Y = true, Z = true;
};

// How the normal equations are solved. Both give the same corrections to
// rounding; the reports are the same to their printed digits.
enum class AdjustEngine {
  kReduced,  // the point blocks eliminated, the photos' reduced system
             // factorised by Cholesky (dense, or sparse when photos see
             // only parts of the object); never forms the full matrix
  kDense,    // the full packed normal matrix inverted in place (the
             // reference; its cost grows with the cube of all unknowns)
};

struct AdjustSettings {
  int iterationLimit = 60;
  double angleTol = 0.0005;  // rad
  double coordTol = 1.5;     // mm; positions of photos use 1.5 times this
  bool keepBest = true;      // restore the point coordinates of the best iteration
  AdjustSwitches switches;
  AdjustEngine engine = AdjustEngine::kReduced;
  bool precision = false;    // compute the precision of every unknown at the end
};

// The precision of the estimate a run hands back: the a-posteriori
// standard deviation of unit weight and the standard deviations of every
// unknown (sigma0 squared times the cofactor matrix of the normal equations
// formed at that estimate). Held quantities have 0.
struct AdjustPrecision {
  bool available = false;   // false: not asked for, or the run gave no estimate
  bool tooManyPhotos = false;  // not available: the reduced system is too large
  double sigma0 = 0;        // mm in the image plane, for weight 1
  int redundancy = 0;
  std::vector<int32_t> pointNumbers;          // the point list's numbers
  std::vector<std::array<double, 3>> points;  // sX, sY, sZ (mm) per point-list entry
  std::vector<std::array<double, 6>> photos;  // Xs, Ys, Zs (mm), phi, omega, kappa (rad)

  // sX, sY, sZ of a point by number; nullptr when it was not adjusted.
  const std::array<double, 3>* OfPoint(int32_t number) const;
};

// How a run ended. Adjust returns 1 exactly for kConverged.
enum class AdjustStatus {
  kNotRun,          // the summary was not filled by a run
  kConverged,       // the tolerances were met before the iteration limit
  kIterationLimit,  // the iteration count reached the limit; the last
                    // iteration may still have met the tolerances (converged)
  kNoPhotos,        // the photo list is empty
  kBadObservation,  // an observation names a photo or point not in the lists
  kNoUnknowns,      // the switches and point flags leave no unknown
  kSolveFailed,     // an increment was not finite: see failedUnknown
  kCancelled,       // the progress asked to stop: no report is written, the
                    // photos are untouched, the point list may hold an
                    // intermediate iterate
};

// What a run did, for summaries and for the messages of the caller.
struct AdjustSummary {
  AdjustStatus status = AdjustStatus::kNotRun;
  int failedUnknown = -1;    // kSolveFailed: the column of the first non-finite increment
  int iterations = 0;        // iterations done
  int bestIteration = 0;     // the iteration with the smallest weighted RMS
  double rms = 0;            // weighted RMS of the last iteration, mm
  double bestRms = 0;
  double rmsLinear = 0;      // RMS of the linear residuals of the last iteration
  bool converged = false;    // the tolerances were met
  int redundancy = 0;        // m - t
  bool usedSparse = false;   // the reduced system was factorised sparse
  AdjustPrecision precision; // with AdjustSettings::precision
};

// The text of a status for messages: "converged", "not converged", ...
const char* AdjustStatusText(const AdjustSummary& summary);

// The report files of a run: the four of the adjustment and the precision
// report. With an empty folder nothing is written.
// A file that cannot be written is skipped: the adjustment never depends on
// its reports; failures() then says which and why, for the caller to tell.
// They are written when the run ends.
class AdjustmentReports {
 public:
  explicit AdjustmentReports(std::string folder = {}) : folder_(std::move(folder)) {}
  const std::string& folder() const { return folder_; }
  std::string PathOf(const char* name) const;

  static constexpr char kInput[] = "_oridata.txt";
  static constexpr char kOrientations[] = "_cmrPara.txt";
  static constexpr char kPoints[] = "_XYZ3D.txt";
  static constexpr char kResiduals[] = "_VxVy2D.txt";
  static constexpr char kPrecision[] = "_precision.txt";

  const std::vector<std::string>& failures() const { return failures_; }
  void NoteFailure(std::string message) const { failures_.push_back(std::move(message)); }

 private:
  std::string folder_;
  mutable std::vector<std::string> failures_;
};

// Runs the adjustment core.
//   observations  image points in image-plane mm with their weights; all
//                 image points of one point consecutive. May be replaced by
//                 the best iteration's copy (keep-best).
//   points        the point list; X, Y, Z of unknown points are updated.
//   photos        one record per photo; f1 and f2 of photo 0 serve all
//                 photos. The exterior orientations are written at the end.
//   residuals     receives one image point (mm) per observation whose
//                 matchState is not 0: the observation plus its residual.
// Returns 1 when the tolerances were met before the iteration count reached
// the limit, else 0; the progress may stop the run between iterations; `summary`, when given, says how the run ended. A solve
// with a non-finite component ends the run at once (kSolveFailed).
int Adjust(std::vector<ImagePoint>& observations, std::vector<SpacePoint>& points,
           std::vector<PhotoParams>& photos, const AdjustSettings& settings,
           std::vector<ImagePoint>* residuals, const AdjustmentReports& reports,
           Progress* progress = nullptr, AdjustSummary* summary = nullptr);

// Brings an angle into [-pi, pi] by whole turns.
double WrapAngle(double a);

}  // namespace vistamet
