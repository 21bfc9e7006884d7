#include "measure/compute/adjustment.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cmath>
#include <memory>
#include <string_view>
#include <numbers>
#include <unordered_map>
#include <utility>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/compute/bundle_adjuster.h"
#include "measure/compute/camera_model.h"
#include "measure/compute/reduced_normals.h"

namespace vistamet {

namespace {

// The texts of the reports of one run. They are collected while the
// run goes on and written when it ends, however it ends, each through the
// one file writer (a report is replaced whole, never left half written).
// Without a report folder nothing is collected.
class ReportTexts {
 public:
  explicit ReportTexts(const AdjustmentReports& reports) : reports_(reports) {}
  ~ReportTexts() {
    if (discarded_) return;
    for (const Text& t : texts_) {
      std::string error;
      if (t.touched && !common::SaveFileAtomically(reports_.PathOf(t.name), t.text, &error))
        reports_.NoteFailure(error);
    }
  }
  // Nothing is written: the files stay as they were.
  void Discard() { discarded_ = true; }
  ReportTexts(const ReportTexts&) = delete;
  ReportTexts& operator=(const ReportTexts&) = delete;

  // The report emptied (a new history), or to append to; nullptr without
  // a folder.
  std::string* Rewrite(const char* name) {
    std::string* text = Append(name);
    if (text) text->clear();
    return text;
  }
  std::string* Append(const char* name) {
    if (reports_.folder().empty()) return nullptr;
    for (Text& t : texts_) {
      if (std::string_view(t.name) != name) continue;
      t.touched = true;
      return &t.text;
    }
    return nullptr;
  }

 private:
  struct Text {
    const char* name;
    std::string text;
    bool touched = false;
  };
  const AdjustmentReports& reports_;
  bool discarded_ = false;
  std::array<Text, 5> texts_ = {{{AdjustmentReports::kInput, {}, false},
                                 {AdjustmentReports::kOrientations, {}, false},
                                 {AdjustmentReports::kPoints, {}, false},
                                 {AdjustmentReports::kResiduals, {}, false},
                                 {AdjustmentReports::kPrecision, {}, false}}};
};

// printf into a report text; nothing without one.
void Put(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Put(std::string* out, const char* format, ...) {
  if (!out) return;
  va_list args;
  va_start(args, format);
  out->append(common::StrFormatV(format, args));
  va_end(args);
}

// One linearised equation with only its non-zero columns (at most nine:
// six of the photo, three of the point), columns ascending.
struct SparseRow {
  int count = 0;
  int cols[9];
  double vals[9];
  double l = 0;
  double Dot(const std::vector<double>& x) const {
    double s = 0;
    for (int k = 0; k < count; ++k) s += vals[k] * x[cols[k]];
    return s;
  }
};

// Adds w-weighted row to the packed normal equations, touching only the
// non-zero columns. Skipping zero coefficients adds exact zeros, so the
// result equals a dense accumulation.
void Accumulate(const SparseRow& r, int n, double w, std::vector<double>& N,
                std::vector<double>& u) {
  for (int a = 0; a < r.count; ++a) {
    const int i = r.cols[a];
    const double wai = w * r.vals[a];
    for (int b = a; b < r.count; ++b) N[BundleAdjuster::PackedIndex(i, r.cols[b], n)] += r.vals[b] * wai;
    u[i] += w * (r.l * r.vals[a]);
  }
}

// Column layout of the unknowns under the switches.
class Columns {
 public:
  Columns(const AdjustSwitches& s, int photos, const std::vector<SpacePoint>& points) {
    const bool eo[6] = {s.Xs, s.Ys, s.Zs, s.phi, s.omega, s.kappa};
    const bool xyz[3] = {s.X, s.Y, s.Z};
    for (int k = 0; k < 6; ++k) eo_rank_[k] = eo[k] ? per_photo_++ : -1;
    for (int k = 0; k < 3; ++k) xyz_rank_[k] = xyz[k] ? per_point_++ : -1;
    photos_ = photos;
    unknown_index_.resize(points.size(), -1);
    int unknowns = 0;
    for (size_t i = 0; i < points.size(); ++i)
      if (points[i].controlFlag == 0) unknown_index_[i] = unknowns++;
    unknown_points_ = unknowns;
  }
  int Count() const { return photos_ * per_photo_ + unknown_points_ * per_point_; }
  // Column of exterior-orientation element k (0..5) of a photo, or -1.
  int Photo(int photo, int k) const {
    return eo_rank_[k] < 0 ? -1 : photo * per_photo_ + eo_rank_[k];
  }
  // Column of coordinate k (0..2) of point-list entry i, or -1 (fixed).
  int Point(size_t i, int k) const {
    if (unknown_index_[i] < 0 || xyz_rank_[k] < 0) return -1;
    return photos_ * per_photo_ + unknown_index_[i] * per_point_ + xyz_rank_[k];
  }
  int UnknownPoints() const { return unknown_points_; }
  // Rank of point-list entry i among the unknown points, or -1 (fixed).
  int UnknownIndex(size_t i) const { return unknown_index_[i]; }
  bool PhotoActive(int k) const { return eo_rank_[k] >= 0; }
  bool PointActive(int k) const { return xyz_rank_[k] >= 0; }

 private:
  int eo_rank_[6];
  int xyz_rank_[3];
  int per_photo_ = 0, per_point_ = 0, photos_ = 0, unknown_points_ = 0;
  std::vector<int> unknown_index_;
};

void BuildRow(const std::array<double, kLinearisationColumns>& coeff, double l, const Columns& cols,
              int photo, size_t point, SparseRow* row) {
  row->count = 0;
  row->l = l;
  for (int k = 0; k < 6; ++k) {
    const int c = cols.Photo(photo, k);
    if (c < 0) continue;
    row->cols[row->count] = c;
    row->vals[row->count++] = coeff[kColXs + k];
  }
  for (int k = 0; k < 3; ++k) {
    const int c = cols.Point(point, k);
    if (c < 0) continue;
    row->cols[row->count] = c;
    row->vals[row->count++] = coeff[kColX + k];
  }
}

// The largest corrections of one iteration, by kind of unknown.
struct Corrections {
  double point = 0;     // point coordinates
  double position = 0;  // projection centres
  double angle = 0;     // rotation angles
};

// The residuals of one iteration with the largest |Vx|, |Vy| and Vp, as
// indices into the observations (-1 before the first).
struct LargestResiduals {
  int x = -1, y = -1, p = -1;
  double vx = 0, vy = 0, vp = 0;

  void Update(int k, double vx_k, double vy_k, double vp_k) {
    if (x < 0 || std::fabs(vx_k) > std::fabs(vx)) x = k, vx = vx_k;
    if (y < 0 || std::fabs(vy_k) > std::fabs(vy)) y = k, vy = vy_k;
    if (p < 0 || vp_k > vp) p = k, vp = vp_k;
  }
};

// Truncates the histories of a new run and writes its input listing.
void StartReports(ReportTexts& reports, const std::vector<SpacePoint>& points,
                  const std::vector<ImagePoint>& observations) {
  reports.Rewrite(AdjustmentReports::kPoints);
  reports.Rewrite(AdjustmentReports::kOrientations);
  std::string* in = reports.Rewrite(AdjustmentReports::kInput);
  Put(in, "Total %d Space Points\n", static_cast<int>(points.size()));
  for (const SpacePoint& p : points)
    Put(in, "%3d\t %12.5f\t %12.5f\t %12.5f\n", p.pointNumber, p.X, p.Y, p.Z);
  Put(in, "\nTotal %d Image Points\n", static_cast<int>(observations.size()));
  for (const ImagePoint& o : observations)
    Put(in, "%2d:\t%3d\t %12.5f\t %12.5f\t\n", o.photoIndex, o.pointNumber, o.x, o.y);
}

// The point-list entry of every observation. False when an observation
// names a photo outside [0, photo_count) or a number not in the point list.
bool FindObservedPoints(const std::vector<ImagePoint>& observations,
                        const std::vector<SpacePoint>& points, int photo_count,
                        std::vector<size_t>* point_of) {
  point_of->assign(observations.size(), 0);
  // The first entry of every number, as a search from the front finds it.
  std::unordered_map<int32_t, size_t> entry_of;
  entry_of.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) entry_of.emplace(points[i].pointNumber, i);
  for (size_t k = 0; k < observations.size(); ++k) {
    const ImagePoint& o = observations[k];
    if (o.photoIndex < 0 || o.photoIndex >= photo_count) return false;
    const auto it = entry_of.find(o.pointNumber);
    if (it == entry_of.end()) return false;
    (*point_of)[k] = it->second;
  }
  return true;
}

// One run of the core on the caller's lists: the current orientations, the
// column layout, the normal equations and the best iteration so far. The
// photo records themselves stay untouched until Finish.
class AdjustRun {
 public:
  AdjustRun(std::vector<ImagePoint>& observations, std::vector<SpacePoint>& points,
            std::vector<PhotoParams>& photos, std::vector<size_t> point_of,
            const AdjustSettings& settings, ReportTexts& reports)
      : observations_(observations),
        points_(points),
        photos_(photos),
        point_of_(std::move(point_of)),
        settings_(settings),
        reports_(reports),
        photo_count_(static_cast<int>(photos.size())),
        f1_(photos[0].f1),
        f2_(photos[0].f2),
        cols_(settings.switches, photo_count_, points),
        n_(cols_.Count()),
        m_(2 * static_cast<int>(observations.size())) {
    eo_.resize(photo_count_);
    for (int p = 0; p < photo_count_; ++p) eo_[p] = photos[p].Exterior();
  }

  int Unknowns() const { return n_; }
  int Equations() const { return m_; }

  // Sizes the equations and the normal equations; only with unknowns.
  void Allocate();

  // Linearises every observation at the current estimate, solves the
  // normal equations and returns -1, or the first unknown whose increment
  // is not finite. With cofactors the engine keeps what the precision needs.
  int LineariseAndSolve(bool cofactors = false);
  // The precision of the estimate the run hands back (after Finish).
  void ComputePrecision(AdjustPrecision* precision);
  bool UsedSparse() const { return reduced_ && reduced_->UsedSparse(); }
  Corrections LargestCorrections() const;
  void ApplyOrientationIncrements(int iteration);
  void ApplyPointIncrements(int iteration);
  // The residual report of the iteration; fills rms and rmsLinear.
  void ComputeResiduals(int iteration, AdjustSummary* sum);
  // Remembers the iteration when its RMS is the smallest so far; true then.
  bool KeepIfBest(int iteration, double rms, std::vector<ImagePoint>* residuals);
  // Restores the best iteration (keep-best) or hands out the last residuals,
  // writes the final point listing and the orientations to the photos.
  void Finish(int iterations, std::vector<ImagePoint>* residuals);

  int BestIteration() const { return best_iteration_; }
  double BestRms() const { return best_rms_; }

 private:
  std::vector<ImagePoint>& observations_;
  std::vector<SpacePoint>& points_;
  std::vector<PhotoParams>& photos_;
  const std::vector<size_t> point_of_;
  const AdjustSettings& settings_;
  ReportTexts& reports_;
  const int photo_count_;
  const double f1_, f2_;  // principal distances of photo 0 serve every photo
  const Columns cols_;
  const int n_, m_;
  std::vector<ExteriorOrientation> eo_;
  std::vector<OrientationTerms> terms_;  // of eo_, per linearisation

  std::vector<SparseRow> rows_;
  std::vector<double> N_, u_, x_;
  // The reduced engine and its corrections per photo and per unknown point.
  std::unique_ptr<ReducedNormals> reduced_;
  std::vector<double> dc_, dp_;
  std::vector<ImagePoint> iteration_residuals_;

  bool have_best_ = false;
  double best_rms_ = 0;
  int best_iteration_ = 0;
  std::vector<ImagePoint> best_observations_;
  std::vector<SpacePoint> best_points_;
  std::vector<PhotoParams> best_photos_;
};

void AdjustRun::Allocate() {
  rows_.resize(static_cast<size_t>(m_));
  x_.resize(n_);
  if (settings_.engine == AdjustEngine::kDense) {
    N_.resize(BundleAdjuster::PackedSize(n_));
    u_.resize(n_);
    return;
  }
  std::vector<int> photo_of(observations_.size()), unknown_of(observations_.size());
  for (size_t k = 0; k < observations_.size(); ++k) {
    photo_of[k] = observations_[k].photoIndex;
    unknown_of[k] = cols_.UnknownIndex(point_of_[k]);
  }
  bool photo_active[6], point_active[3];
  for (int e = 0; e < 6; ++e) photo_active[e] = cols_.PhotoActive(e);
  for (int e = 0; e < 3; ++e) point_active[e] = cols_.PointActive(e);
  reduced_ = std::make_unique<ReducedNormals>();
  // The dense inversion adds this to every pivot, which amounts to solving
  // (N + shift I) x = u; the reduced engine solves the same equations.
  reduced_->SetDiagonalShift(BundleAdjuster::kPivotShift);
  reduced_->Setup(photo_count_, cols_.UnknownPoints(), std::move(photo_of), std::move(unknown_of),
                  photo_active, point_active);
}

// One equation for the reduced engine: the columns of held elements zeroed.
static void AddReduced(ReducedNormals& rn, const Columns& cols, int k,
                       const std::array<double, kLinearisationColumns>& coeff, double l, double w) {
  double a[6], b[3];
  for (int e = 0; e < 6; ++e) a[e] = cols.PhotoActive(e) ? coeff[kColXs + e] : 0.0;
  for (int e = 0; e < 3; ++e) b[e] = cols.PointActive(e) ? coeff[kColX + e] : 0.0;
  rn.Add(k, a, b, l, w);
}

int AdjustRun::LineariseAndSolve(bool cofactors) {
  const bool dense = settings_.engine == AdjustEngine::kDense;
  if (dense) {
    BundleAdjuster::ClearVector(N_);
    BundleAdjuster::ClearVector(u_);
  } else {
    reduced_->Clear();
  }
  terms_.resize(eo_.size());
  for (size_t p = 0; p < eo_.size(); ++p) terms_[p] = TermsOf(eo_[p]);
  for (size_t k = 0; k < observations_.size(); ++k) {
    const ImagePoint& o = observations_[k];
    const SpacePoint& p = points_[point_of_[k]];
    const LinearisedPoint lin =
        LinearisePoint(o.x, o.y, eo_[o.photoIndex], terms_[o.photoIndex], p.X, p.Y, p.Z, f1_, f2_);
    SparseRow& rx = rows_[2 * k];
    SparseRow& ry = rows_[2 * k + 1];
    BuildRow(lin.rowX, lin.lx, cols_, o.photoIndex, point_of_[k], &rx);
    BuildRow(lin.rowY, lin.ly, cols_, o.photoIndex, point_of_[k], &ry);
    if (dense) {
      Accumulate(rx, n_, o.weightX, N_, u_);
      Accumulate(ry, n_, o.weightY, N_, u_);
    } else {
      AddReduced(*reduced_, cols_, static_cast<int>(k), lin.rowX, lin.lx, o.weightX);
      AddReduced(*reduced_, cols_, static_cast<int>(k), lin.rowY, lin.ly, o.weightY);
    }
  }
  if (dense) {
    BundleAdjuster::InvertAndSolve(N_, u_, x_, n_);
  } else {
    reduced_->Solve(dc_, dp_, cofactors);
    for (int p = 0; p < photo_count_; ++p)
      for (int e = 0; e < 6; ++e) {
        const int c = cols_.Photo(p, e);
        if (c >= 0) x_[c] = dc_[6 * p + e];
      }
    for (size_t j = 0; j < points_.size(); ++j)
      for (int e = 0; e < 3; ++e) {
        const int c = cols_.Point(j, e);
        if (c >= 0) x_[c] = dp_[3 * cols_.UnknownIndex(j) + e];
      }
  }
  for (int c = 0; c < n_; ++c)
    if (!std::isfinite(x_[c])) return c;
  return -1;
}

void AdjustRun::ComputePrecision(AdjustPrecision* out) {
  *out = AdjustPrecision{};
  out->redundancy = m_ - n_;
  if (m_ - n_ <= 0 || LineariseAndSolve(true) >= 0) return;
  if (reduced_ && !reduced_->HasCofactors()) {
    out->tooManyPhotos = true;
    return;
  }
  // sigma0 from the reduced observations at the estimate handed back.
  double wll = 0;
  for (size_t k = 0; k < observations_.size(); ++k) {
    const SparseRow& rx = rows_[2 * k];
    const SparseRow& ry = rows_[2 * k + 1];
    wll += observations_[k].weightX * rx.l * rx.l + observations_[k].weightY * ry.l * ry.l;
  }
  out->sigma0 = std::sqrt(wll / (m_ - n_));
  const double s2 = out->sigma0 * out->sigma0;
  auto sigma = [s2](double q) { return q > 0 ? std::sqrt(s2 * q) : 0.0; };
  auto cofactor = [this](int c) { return N_[BundleAdjuster::PackedIndex(c, c, n_)]; };
  const bool dense = settings_.engine == AdjustEngine::kDense;
  out->photos.assign(photo_count_, {});
  for (int p = 0; p < photo_count_; ++p) {
    double q[6] = {0, 0, 0, 0, 0, 0};
    if (!dense) reduced_->PhotoCofactorDiagonal(p, q);
    for (int e = 0; e < 6; ++e) {
      const int c = cols_.Photo(p, e);
      if (dense && c >= 0) q[e] = cofactor(c);
      out->photos[p][e] = c >= 0 ? sigma(q[e]) : 0.0;
    }
  }
  out->points.assign(points_.size(), {0, 0, 0});
  out->pointNumbers.resize(points_.size());
  for (size_t j = 0; j < points_.size(); ++j) out->pointNumbers[j] = points_[j].pointNumber;
  for (size_t j = 0; j < points_.size(); ++j) {
    const int u = cols_.UnknownIndex(j);
    if (u < 0) continue;
    double q[3] = {0, 0, 0};
    if (!dense) reduced_->PointCofactorDiagonal(u, q);
    for (int e = 0; e < 3; ++e) {
      const int c = cols_.Point(j, e);
      if (dense && c >= 0) q[e] = cofactor(c);
      out->points[j][e] = c >= 0 ? sigma(q[e]) : 0.0;
    }
  }
  out->available = true;
}

Corrections AdjustRun::LargestCorrections() const {
  Corrections d;
  for (int p = 0; p < photo_count_; ++p)
    for (int k = 0; k < 6; ++k) {
      const int c = cols_.Photo(p, k);
      if (c < 0) continue;
      double& largest = k < 3 ? d.position : d.angle;
      largest = std::max(largest, std::fabs(x_[c]));
    }
  for (size_t j = 0; j < points_.size(); ++j)
    for (int k = 0; k < 3; ++k) {
      const int c = cols_.Point(j, k);
      if (c >= 0) d.point = std::max(d.point, std::fabs(x_[c]));
    }
  return d;
}

void AdjustRun::ApplyOrientationIncrements(int iteration) {
  std::string* f = reports_.Append(AdjustmentReports::kOrientations);
  Put(f, "\nIteration Number:  %3d (BI:0)\n", iteration);
  Put(f, "%5s %12s %12s %12s %12s %12s %12s\n", "#", "Xs", "Ys", "Zs", "Phi", "Omega",
      "Kappa");
  for (int p = 0; p < photo_count_; ++p) {
    ExteriorOrientation& e = eo_[p];
    double* element[6] = {&e.Xs, &e.Ys, &e.Zs, &e.phi, &e.omega, &e.kappa};
    for (int k = 0; k < 6; ++k) {
      const int c = cols_.Photo(p, k);
      if (c >= 0) *element[k] += x_[c];
    }
    e.phi = WrapAngle(e.phi);
    e.omega = WrapAngle(e.omega);
    e.kappa = WrapAngle(e.kappa);
    Put(f, "%5d %12.4lf %12.4lf %12.4lf %12.5lf %12.5lf %12.5lf\n", p, e.Xs, e.Ys, e.Zs,
        e.phi, e.omega, e.kappa);
  }
}

void AdjustRun::ApplyPointIncrements(int iteration) {
  std::string* f = reports_.Append(AdjustmentReports::kPoints);
  std::vector<double> dx, dy, dz;
  for (size_t j = 0; j < points_.size(); ++j) {
    SpacePoint& p = points_[j];
    if (p.controlFlag != 0) continue;
    double d[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      const int c = cols_.Point(j, k);
      if (c >= 0) d[k] = x_[c];
    }
    Put(f, "%5d %12.3lf %12.3lf %12.3lf   %8.3lf %8.3lf %8.3lf\n", p.pointNumber, p.X, p.Y,
        p.Z, d[0], d[1], d[2]);
    p.X += d[0];
    p.Y += d[1];
    p.Z += d[2];
    dx.push_back(d[0]);
    dy.push_back(d[1]);
    dz.push_back(d[2]);
  }
  if (dx.empty()) return;
  double s, e;
  BundleAdjuster::SeriesStats(dx, &s, &e);
  Put(f, "rmsX = %8.3lf maxX = %8.3lf   (mm)\n", s, e);
  BundleAdjuster::SeriesStats(dy, &s, &e);
  Put(f, "rmsY = %8.3lf maxY = %8.3lf   \n", s, e);
  BundleAdjuster::SeriesStats(dz, &s, &e);
  Put(f, "rmsZ = %8.3lf maxZ = %8.3lf   \n", s, e);
  Put(f, "\t END OF THE ___%d___ ITERATION\n\n", iteration);
}

// Residuals: the linear ones of the equations just solved, then the reduced
// observations at the new estimate, which the report lists one by one.
void AdjustRun::ComputeResiduals(int iteration, AdjustSummary* sum) {
  const bool redundant = m_ - n_ > 0;
  double vv = 0;
  for (const SparseRow& r : rows_) {
    const double v = r.Dot(x_) - r.l;
    vv += v * v;
  }
  const double rms0 = redundant ? std::sqrt(vv / (m_ - n_)) : 0.0;
  iteration_residuals_.clear();
  double wvv = 0;
  LargestResiduals largest;
  std::string* f = reports_.Rewrite(AdjustmentReports::kResiduals);
  for (size_t k = 0; k < observations_.size(); ++k) {
    const ImagePoint& o = observations_[k];
    if (o.matchState == 0) continue;
    const SpacePoint& p = points_[point_of_[k]];
    const ExteriorOrientation& e = eo_[o.photoIndex];
    const CameraFrameCoords c =
        ToCameraFrame(RotationFromAngles(e.phi, e.omega, e.kappa), e, p.X, p.Y, p.Z);
    const double vx = o.x + f1_ * c.xBar / c.zBar;
    const double vy = o.y + f2_ * c.yBar / c.zBar;
    wvv += o.weightX * vx * vx + o.weightY * vy * vy;
    largest.Update(static_cast<int>(k), vx, vy, std::sqrt(vx * vx + vy * vy));
    Put(f, "%2d:\tVx[%3d]\t %10.5f\n", o.photoIndex, o.pointNumber, vx);
    Put(f, "%2d:\tVy[%3d]\t %10.5f\n", o.photoIndex, o.pointNumber, vy);
    ImagePoint r = o;
    r.x = o.x + vx;
    r.y = o.y + vy;
    iteration_residuals_.push_back(r);
  }
  const double rms = redundant ? std::sqrt(wvv / (m_ - n_)) : 0.0;
  Put(f, "rmsAll =%f (mm)\n", rms0);
  Put(f, "rmsAll =%f\n", rms);
  if (!redundant)
    Put(f, "redundancy %d (observations %d, unknowns %d): no RMS can be formed\n", m_ - n_,
        m_, n_);
  if (largest.x >= 0) {
    const ImagePoint& ox = observations_[largest.x];
    const ImagePoint& oy = observations_[largest.y];
    const ImagePoint& op = observations_[largest.p];
    Put(f, "\nMax V:\n%2d:\tVx[%3d]\t %10.5f\n", ox.photoIndex, ox.pointNumber, largest.vx);
    Put(f, "%2d:\tVy[%3d]\t %10.5f\n", oy.photoIndex, oy.pointNumber, largest.vy);
    Put(f, "\nMax Vp\t%2d:\tVp[%3d]\t %10.5f\n", op.photoIndex, op.pointNumber, largest.vp);
  }
  Put(f, "\t END OF THE ___%d___ ITERATION\n\n", iteration);
  sum->rms = rms;
  sum->rmsLinear = rms0;
}

bool AdjustRun::KeepIfBest(int iteration, double rms, std::vector<ImagePoint>* residuals) {
  if (have_best_ && !(rms < best_rms_)) return false;
  have_best_ = true;
  best_rms_ = rms;
  best_iteration_ = iteration;
  if (settings_.keepBest) {
    if (residuals) *residuals = iteration_residuals_;
    best_observations_ = observations_;
    best_points_ = points_;
    best_photos_ = photos_;
  }
  return true;
}

void AdjustRun::Finish(int iterations, std::vector<ImagePoint>* residuals) {
  if (!settings_.keepBest) {
    if (residuals) *residuals = iteration_residuals_;
  } else if (iterations >= 2) {
    observations_ = std::move(best_observations_);
    points_ = std::move(best_points_);
    photos_ = std::move(best_photos_);
  }
  {
    std::string* f = reports_.Append(AdjustmentReports::kPoints);
    Put(f, "All: %d, The Best Rms time:%d (BI:0)\n", iterations - 1, best_iteration_);
    for (const SpacePoint& p : points_)
      Put(f, "%5d %12.3lf %12.3lf %12.3lf\n", p.pointNumber, p.X, p.Y, p.Z);
  }
  for (int p = 0; p < photo_count_; ++p) photos_[p].SetExterior(eo_[p]);
  std::string* f = reports_.Append(AdjustmentReports::kOrientations);
  const PhotoParams& c = photos_[0];
  Put(f, "Fx = %12.8lf  Fy = %12.8lf  U = %12.8lf  V = %12.8lf \nA1=%f,A2=%f,R0=%f\n", c.f1,
      c.f2, c.u0, c.v0, c.A1, c.A2, c.R0);
}

// The precision report: sigma0, then every point and every photo.
void WritePrecisionReport(ReportTexts& reports, const AdjustSummary& sum,
                          const std::vector<SpacePoint>& points, bool asked) {
  std::string* f = reports.Rewrite(AdjustmentReports::kPrecision);
  if (!f) return;
  const AdjustPrecision& pr = sum.precision;
  Put(f, "Adjustment: %s, %d iterations\n", AdjustStatusText(sum), sum.iterations);
  if (!pr.available) {
    Put(f, "No precision: %s\n",
        !asked                                       ? "not computed"
        : pr.tooManyPhotos                           ? "too many photos"
        : pr.redundancy <= 0 && sum.iterations > 0 ? "no redundancy"
                                                     : "no estimate");
    return;
  }
  Put(f, "sigma0 = %.6f mm (redundancy %d)\n", pr.sigma0, pr.redundancy);
  Put(f, "\nPoints (mm)\n%5s %10s %10s %10s\n", "#", "sX", "sY", "sZ");
  for (size_t j = 0; j < points.size() && j < pr.points.size(); ++j)
    Put(f, "%5d %10.4f %10.4f %10.4f%s\n", points[j].pointNumber, pr.points[j][0],
        pr.points[j][1], pr.points[j][2], points[j].controlFlag != 0 ? "  fixed" : "");
  Put(f, "\nPhotos (mm, rad)\n%5s %10s %10s %10s %12s %12s %12s\n", "#", "sXs", "sYs", "sZs",
      "sPhi", "sOmega", "sKappa");
  for (size_t p = 0; p < pr.photos.size(); ++p) {
    const auto& e = pr.photos[p];
    Put(f, "%5d %10.4f %10.4f %10.4f %12.8f %12.8f %12.8f\n", static_cast<int>(p), e[0], e[1],
        e[2], e[3], e[4], e[5]);
  }
}

bool Converged(const Corrections& d, const AdjustSettings& settings) {
  return d.angle <= settings.angleTol && d.point <= settings.coordTol &&
         d.position <= 1.5 * settings.coordTol;
}

}  // namespace

int Adjust(std::vector<ImagePoint>& observations, std::vector<SpacePoint>& points,
           std::vector<PhotoParams>& photos, const AdjustSettings& settings,
           std::vector<ImagePoint>* residuals, const AdjustmentReports& reports,
           Progress* progress, AdjustSummary* summary) {
  AdjustSummary local;
  AdjustSummary& sum = summary ? *summary : local;
  sum = AdjustSummary{};

  ReportTexts texts(reports);
  StartReports(texts, points, observations);
  // Whatever ends the run, the precision report then speaks of this one.
  struct PrecisionReport {
    ReportTexts& texts;
    const AdjustSummary& sum;
    const std::vector<SpacePoint>& points;
    bool asked;
    ~PrecisionReport() { WritePrecisionReport(texts, sum, points, asked); }
  } precision_report{texts, sum, points, settings.precision};
  const int photo_count = static_cast<int>(photos.size());
  if (photo_count == 0) {
    sum.status = AdjustStatus::kNoPhotos;
    return 0;
  }
  std::vector<size_t> point_of;
  if (!FindObservedPoints(observations, points, photo_count, &point_of)) {
    sum.status = AdjustStatus::kBadObservation;
    return 0;
  }
  AdjustRun run(observations, points, photos, std::move(point_of), settings, texts);
  if (run.Unknowns() < 1) {
    sum.status = AdjustStatus::kNoUnknowns;
    return 0;
  }
  sum.redundancy = run.Equations() - run.Unknowns();
  run.Allocate();

  // Past the iteration limit the run goes on only while the RMS improves.
  const int limit = settings.iterationLimit;
  int i = 0;
  while (true) {
    if (progress) progress->Report(i, std::max(limit, i + 1), "整体平差");
    if (progress && progress->StopRequested()) {
      sum.iterations = i;
      sum.status = AdjustStatus::kCancelled;
      texts.Discard();
      return 0;
    }
    const int failed = run.LineariseAndSolve();
    if (failed >= 0) {
      sum.iterations = i;
      sum.status = AdjustStatus::kSolveFailed;
      sum.failedUnknown = failed;
      return 0;
    }
    const Corrections d = run.LargestCorrections();
    run.ApplyOrientationIncrements(i);
    run.ApplyPointIncrements(i);
    run.ComputeResiduals(i, &sum);
    const bool new_best = run.KeepIfBest(i, sum.rms, residuals);
    ++i;
    if (Converged(d, settings)) {
      sum.converged = true;
      break;
    }
    if (i >= limit && !new_best) break;
  }

  run.Finish(i, residuals);
  if (!sum.converged)
    Put(texts.Append(AdjustmentReports::kPoints), "Not converged: iteration limit %d reached\n",
        limit);
  if (settings.precision) run.ComputePrecision(&sum.precision);
  if (progress) progress->Report(std::max(limit, i), std::max(limit, i), "整体平差");
  sum.iterations = i;
  sum.bestIteration = run.BestIteration();
  sum.bestRms = run.BestRms();
  sum.usedSparse = run.UsedSparse();
  sum.status = i < limit ? AdjustStatus::kConverged : AdjustStatus::kIterationLimit;
  return i < limit ? 1 : 0;
}

const std::array<double, 3>* AdjustPrecision::OfPoint(int32_t number) const {
  if (!available) return nullptr;
  for (size_t j = 0; j < pointNumbers.size() && j < points.size(); ++j)
    if (pointNumbers[j] == number) return &points[j];
  return nullptr;
}

const char* AdjustStatusText(const AdjustSummary& summary) {
  switch (summary.status) {
    case AdjustStatus::kNotRun: return "not run";
    case AdjustStatus::kConverged: return "converged";
    case AdjustStatus::kIterationLimit:
      return summary.converged ? "converged only at the iteration limit" : "not converged";
    case AdjustStatus::kNoPhotos: return "no photos";
    case AdjustStatus::kBadObservation: return "an image point without its photo or point";
    case AdjustStatus::kNoUnknowns: return "no unknowns";
    case AdjustStatus::kSolveFailed: return "an unknown could not be solved";
    case AdjustStatus::kCancelled: return "cancelled";
  }
  return "";
}

double WrapAngle(double a) {
  constexpr double kPi = std::numbers::pi;
  if (!std::isfinite(a)) return a;
  // One step at any size: subtracting 2 pi no longer changes a huge angle.
  return std::remainder(a, 2 * kPi);
}

std::string AdjustmentReports::PathOf(const char* name) const {
  if (folder_.empty()) return std::string();
  return folder_ + "/" + name;
}

}  // namespace vistamet
