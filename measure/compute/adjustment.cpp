#include "measure/compute/adjustment.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cmath>
#include <memory>
#include <numbers>

#include "common/strformat.h"
#include "measure/compute/bundle_adjuster.h"
#include "measure/compute/camera_model.h"

namespace vistamet {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// fprintf that tolerates a missing file.
void Put(std::FILE* f, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Put(std::FILE* f, const char* format, ...) {
  if (!f) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
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

}  // namespace

double WrapAngle(double a) {
  constexpr double kPi = std::numbers::pi;
  if (!std::isfinite(a)) return a;
  while (a > kPi) a -= 2 * kPi;
  while (a < -kPi) a += 2 * kPi;
  return a;
}

std::string AdjustmentReports::PathOf(const char* name) const {
  if (folder_.empty()) return std::string();
  return folder_ + "/" + name;
}

std::FILE* AdjustmentReports::Open(const char* name, const char* mode) const {
  if (folder_.empty()) return nullptr;
  return std::fopen(PathOf(name).c_str(), mode);
}

int Adjust(std::vector<ImagePoint>& observations, std::vector<SpacePoint>& points,
           std::vector<PhotoParams>& photos, const AdjustSettings& settings,
           std::vector<ImagePoint>* residuals, const AdjustmentReports& reports,
           Progress* progress, UserPrompt* prompt, AdjustSummary* summary) {
  AdjustSummary local;
  AdjustSummary& sum = summary ? *summary : local;
  sum = AdjustSummary{};

  // Start of the run: truncate the histories, write the input listing.
  File(reports.Open(AdjustmentReports::kPoints, "w"));
  File(reports.Open(AdjustmentReports::kOrientations, "w"));
  {
    File in(reports.Open(AdjustmentReports::kInput, "w"));
    Put(in.get(), "Total %d Space Points\n", static_cast<int>(points.size()));
    for (const SpacePoint& p : points)
      Put(in.get(), "%3d\t %12.5f\t %12.5f\t %12.5f\n", p.pointNumber, p.X, p.Y, p.Z);
    Put(in.get(), "\nTotal %d Image Points\n", static_cast<int>(observations.size()));
    for (const ImagePoint& o : observations)
      Put(in.get(), "%2d:\t%3d\t %12.5f\t %12.5f\t\n", o.photoIndex, o.pointNumber, o.x, o.y);
  }

  const int photo_count = static_cast<int>(photos.size());
  if (photo_count == 0) return 0;
  // Every observation must name a photo and a point of the lists.
  std::vector<size_t> point_of(observations.size());
  for (size_t k = 0; k < observations.size(); ++k) {
    const ImagePoint& o = observations[k];
    if (o.photoIndex < 0 || o.photoIndex >= photo_count) return 0;
    const auto it = std::find_if(points.begin(), points.end(), [&](const SpacePoint& p) {
      return p.pointNumber == o.pointNumber;
    });
    if (it == points.end()) return 0;
    point_of[k] = static_cast<size_t>(it - points.begin());
  }

  std::vector<ExteriorOrientation> eo(photo_count);
  for (int p = 0; p < photo_count; ++p) eo[p] = photos[p].Exterior();
  const double f1 = photos[0].f1, f2 = photos[0].f2;

  const Columns cols(settings.switches, photo_count, points);
  const int n = cols.Count();
  const int m = 2 * static_cast<int>(observations.size());
  if (n < 1) return 0;
  sum.redundancy = m - n;

  std::vector<SparseRow> rows(static_cast<size_t>(m));
  std::vector<double> N(BundleAdjuster::PackedSize(n));
  std::vector<double> u(n), x(n);
  std::vector<ImagePoint> iteration_residuals;
  std::vector<ImagePoint> best_observations;
  std::vector<SpacePoint> best_points;
  std::vector<PhotoParams> best_photos;

  const int limit = settings.iterationLimit;
  int i = 0;
  bool go_on = true;
  bool have_best = false;
  double best = 0;
  int best_iteration = 0;
  while (true) {
    if (progress) progress->Report(i, std::max(limit, i + 1), "整体平差");
    BundleAdjuster::ClearVector(N);
    BundleAdjuster::ClearVector(u);
    for (size_t k = 0; k < observations.size(); ++k) {
      const ImagePoint& o = observations[k];
      const SpacePoint& p = points[point_of[k]];
      const LinearisedPoint lin = LinearisePoint(o.x, o.y, eo[o.photoIndex], p.X, p.Y, p.Z, f1, f2);
      SparseRow& rx = rows[2 * k];
      SparseRow& ry = rows[2 * k + 1];
      BuildRow(lin.rowX, lin.lx, cols, o.photoIndex, point_of[k], &rx);
      BuildRow(lin.rowY, lin.ly, cols, o.photoIndex, point_of[k], &ry);
      Accumulate(rx, n, o.weightX, N, u);
      Accumulate(ry, n, o.weightY, N, u);
    }
    BundleAdjuster::InvertAndSolve(N, u, x, n);
    for (int c = 0; c < n; ++c) {
      if (!std::isfinite(x[c])) {
        if (prompt) prompt->Message(common::StrFormat("计算未知数 %d 出错 !", c), Icon::kError);
        sum.iterations = i;
        return 0;
      }
    }

    // Largest corrections of the points, the positions and the angles.
    double dP = 0, dS = 0, dA = 0;
    for (int p = 0; p < photo_count; ++p)
      for (int k = 0; k < 6; ++k) {
        const int c = cols.Photo(p, k);
        if (c < 0) continue;
        double& d = k < 3 ? dS : dA;
        d = std::max(d, std::fabs(x[c]));
      }
    for (size_t j = 0; j < points.size(); ++j)
      for (int k = 0; k < 3; ++k) {
        const int c = cols.Point(j, k);
        if (c >= 0) dP = std::max(dP, std::fabs(x[c]));
      }

    // Exterior orientations.
    {
      File f(reports.Open(AdjustmentReports::kOrientations, "a+"));
      Put(f.get(), "\nIteration Number:  %3d (BI:0)\n", i);
      Put(f.get(), "%5s %12s %12s %12s %12s %12s %12s\n", "#", "Xs", "Ys", "Zs", "Phi", "Omega",
          "Kappa");
      for (int p = 0; p < photo_count; ++p) {
        double* e[6] = {&eo[p].Xs, &eo[p].Ys, &eo[p].Zs, &eo[p].phi, &eo[p].omega, &eo[p].kappa};
        for (int k = 0; k < 6; ++k) {
          const int c = cols.Photo(p, k);
          if (c >= 0) *e[k] += x[c];
        }
        eo[p].phi = WrapAngle(eo[p].phi);
        eo[p].omega = WrapAngle(eo[p].omega);
        eo[p].kappa = WrapAngle(eo[p].kappa);
        Put(f.get(), "%5d %12.4lf %12.4lf %12.4lf %12.5lf %12.5lf %12.5lf\n", p, eo[p].Xs, eo[p].Ys,
            eo[p].Zs, eo[p].phi, eo[p].omega, eo[p].kappa);
      }
    }

    // Point coordinates.
    {
      File f(reports.Open(AdjustmentReports::kPoints, "a+"));
      std::vector<double> dx, dy, dz;
      for (size_t j = 0; j < points.size(); ++j) {
        SpacePoint& p = points[j];
        if (p.controlFlag != 0) continue;
        double d[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
          const int c = cols.Point(j, k);
          if (c >= 0) d[k] = x[c];
        }
        Put(f.get(), "%5d %12.3lf %12.3lf %12.3lf   %8.3lf %8.3lf %8.3lf\n", p.pointNumber, p.X,
            p.Y, p.Z, d[0], d[1], d[2]);
        p.X += d[0];
        p.Y += d[1];
        p.Z += d[2];
        dx.push_back(d[0]);
        dy.push_back(d[1]);
        dz.push_back(d[2]);
      }
      if (!dx.empty()) {
        double s, e;
        BundleAdjuster::SeriesStats(dx, &s, &e);
        Put(f.get(), "rmsX = %8.3lf maxX = %8.3lf   (mm)\n", s, e);
        BundleAdjuster::SeriesStats(dy, &s, &e);
        Put(f.get(), "rmsY = %8.3lf maxY = %8.3lf   \n", s, e);
        BundleAdjuster::SeriesStats(dz, &s, &e);
        Put(f.get(), "rmsZ = %8.3lf maxZ = %8.3lf   \n", s, e);
        Put(f.get(), "\t END OF THE ___%d___ ITERATION\n\n", i);
      }
    }

    // Residuals: linear ones from the equations just solved, then the
    // reduced observations at the new estimate.
    const bool redundant = m - n > 0;
    double vv = 0;
    for (const SparseRow& r : rows) {
      const double v = r.Dot(x) - r.l;
      vv += v * v;
    }
    const double rms0 = redundant ? std::sqrt(vv / (m - n)) : 0.0;
    iteration_residuals.clear();
    double wvv = 0;
    int max_x = -1, max_y = -1, max_p = -1;
    double vmax_x = 0, vmax_y = 0, vmax_p = 0;
    std::vector<double> vxs(observations.size()), vys(observations.size());
    {
      File f(reports.Open(AdjustmentReports::kResiduals, "w"));
      for (size_t k = 0; k < observations.size(); ++k) {
        const ImagePoint& o = observations[k];
        if (o.matchState == 0) continue;
        const SpacePoint& p = points[point_of[k]];
        const ExteriorOrientation& e = eo[o.photoIndex];
        const CameraFrameCoords c =
            ToCameraFrame(RotationFromAngles(e.phi, e.omega, e.kappa), e, p.X, p.Y, p.Z);
        const double vx = o.x + f1 * c.xBar / c.zBar;
        const double vy = o.y + f2 * c.yBar / c.zBar;
        wvv += o.weightX * vx * vx + o.weightY * vy * vy;
        const double vp = std::sqrt(vx * vx + vy * vy);
        if (max_x < 0 || std::fabs(vx) > std::fabs(vmax_x)) max_x = static_cast<int>(k), vmax_x = vx;
        if (max_y < 0 || std::fabs(vy) > std::fabs(vmax_y)) max_y = static_cast<int>(k), vmax_y = vy;
        if (max_p < 0 || vp > vmax_p) max_p = static_cast<int>(k), vmax_p = vp;
        Put(f.get(), "%2d:\tVx[%3d]\t %10.5f\n", o.photoIndex, o.pointNumber, vx);
        Put(f.get(), "%2d:\tVy[%3d]\t %10.5f\n", o.photoIndex, o.pointNumber, vy);
        ImagePoint r = o;
        r.x = o.x + vx;
        r.y = o.y + vy;
        iteration_residuals.push_back(r);
      }
      const double rms = redundant ? std::sqrt(wvv / (m - n)) : 0.0;
      Put(f.get(), "rmsAll =%f (mm)\n", rms0);
      Put(f.get(), "rmsAll =%f\n", rms);
      if (!redundant)
        Put(f.get(), "redundancy %d (observations %d, unknowns %d): no RMS can be formed\n",
            m - n, m, n);
      if (max_x >= 0) {
        const ImagePoint& ox = observations[max_x];
        const ImagePoint& oy = observations[max_y];
        const ImagePoint& op = observations[max_p];
        Put(f.get(), "\nMax V:\n%2d:\tVx[%3d]\t %10.5f\n", ox.photoIndex, ox.pointNumber, vmax_x);
        Put(f.get(), "%2d:\tVy[%3d]\t %10.5f\n", oy.photoIndex, oy.pointNumber, vmax_y);
        Put(f.get(), "\nMax Vp\t%2d:\tVp[%3d]\t %10.5f\n", op.photoIndex, op.pointNumber, vmax_p);
      }
      Put(f.get(), "\t END OF THE ___%d___ ITERATION\n\n", i);
      sum.rms = rms;
      sum.rmsLinear = rms0;
    }

    bool new_best = false;
    if (!have_best || sum.rms < best) {
      have_best = true;
      best = sum.rms;
      best_iteration = i;
      new_best = true;
      if (settings.keepBest) {
        if (residuals) *residuals = iteration_residuals;
        best_observations = observations;
        best_points = points;
        best_photos = photos;
      }
    }
    ++i;
    if (i >= limit) go_on = new_best;
    const bool converged = dA <= settings.angleTol && dP <= settings.coordTol &&
                           dS <= 1.5 * settings.coordTol;
    if (converged) {
      sum.converged = true;
      break;
    }
    if (!go_on) break;
  }

  if (!settings.keepBest) {
    if (residuals) *residuals = iteration_residuals;
  } else if (i >= 2) {
    observations = std::move(best_observations);
    points = std::move(best_points);
    photos = std::move(best_photos);
  }
  {
    File f(reports.Open(AdjustmentReports::kPoints, "a+"));
    Put(f.get(), "All: %d, The Best Rms time:%d (BI:0)\n", i - 1, best_iteration);
    for (const SpacePoint& p : points)
      Put(f.get(), "%5d %12.3lf %12.3lf %12.3lf\n", p.pointNumber, p.X, p.Y, p.Z);
  }
  for (int p = 0; p < photo_count; ++p) photos[p].SetExterior(eo[p]);
  {
    File f(reports.Open(AdjustmentReports::kOrientations, "a+"));
    const PhotoParams& c = photos[0];
    Put(f.get(), "Fx = %12.8lf  Fy = %12.8lf  U = %12.8lf  V = %12.8lf \nA1=%f,A2=%f,R0=%f\n", c.f1,
        c.f2, c.u0, c.v0, c.A1, c.A2, c.R0);
  }
  if (progress) progress->Report(std::max(limit, i), std::max(limit, i), "整体平差");
  sum.iterations = i;
  sum.bestIteration = best_iteration;
  sum.bestRms = best;
  return i < limit ? 1 : 0;
}

}  // namespace vistamet
