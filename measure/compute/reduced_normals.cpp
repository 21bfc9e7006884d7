#include "measure/compute/reduced_normals.h"

#include <Eigen/Cholesky>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

namespace vistamet {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Photo counts up to this use a full table of photo pairs.
constexpr int kTableLimit = 4096;

// Inverts a symmetric 3 x 3 block by Cholesky; false when it is not
// positive definite (a point its rays do not fix).
bool InvertPointBlock(const ReducedNormals::Mat33& V, ReducedNormals::Mat33* inv) {
  Eigen::LLT<ReducedNormals::Mat33> llt(V);
  if (llt.info() != Eigen::Success) return false;
  *inv = llt.solve(ReducedNormals::Mat33::Identity());
  return inv->allFinite();
}

}  // namespace

ReducedNormals::ReducedNormals() = default;
ReducedNormals::~ReducedNormals() = default;

void ReducedNormals::Setup(int photos, int points, std::vector<int> photo_of,
                           std::vector<int> point_of, const bool photo_active[6],
                           const bool point_active[3]) {
  photos_ = photos;
  points_ = points;
  photo_of_ = std::move(photo_of);
  point_of_ = std::move(point_of);
  std::copy(photo_active, photo_active + 6, photo_active_);
  std::copy(point_active, point_active + 3, point_active_);
  // Observations grouped by point (counting sort, list order kept).
  first_.assign(static_cast<size_t>(points_) + 1, 0);
  for (int j : point_of_)
    if (j >= 0) ++first_[j + 1];
  for (int j = 0; j < points_; ++j) first_[j + 1] += first_[j];
  obs_of_point_.resize(static_cast<size_t>(first_[points_]));
  std::vector<int> fill(first_.begin(), first_.end() - 1);
  for (size_t k = 0; k < point_of_.size(); ++k)
    if (point_of_[k] >= 0) obs_of_point_[fill[point_of_[k]]++] = static_cast<int>(k);
  // One block per photo on the diagonal and one per pair of photos that
  // see a common unknown point.
  slot_table_.clear();
  slot_map_.clear();
  slot_pair_.clear();
  if (photos_ <= kTableLimit) slot_table_.assign(static_cast<size_t>(photos_) * photos_, -1);
  auto make = [this](int c1, int c2) {
    if (c1 > c2) std::swap(c1, c2);
    if (Slot(c1, c2) >= 0) return;
    const int s = static_cast<int>(slot_pair_.size());
    slot_pair_.emplace_back(c1, c2);
    if (!slot_table_.empty())
      slot_table_[static_cast<size_t>(c1) * photos_ + c2] = s;
    else
      slot_map_[static_cast<int64_t>(c1) * photos_ + c2] = s;
  };
  for (int c = 0; c < photos_; ++c) make(c, c);
  for (int j = 0; j < points_; ++j)
    for (int a = first_[j]; a < first_[j + 1]; ++a)
      for (int b = a + 1; b < first_[j + 1]; ++b)
        make(photo_of_[obs_of_point_[a]], photo_of_[obs_of_point_[b]]);
  // The dense form keeps only the photos' own blocks.
  const double density = static_cast<double>(2 * slot_pair_.size() - photos_) /
                         (static_cast<double>(photos_) * photos_);
  used_sparse_ = photos_ >= kSparseFromPhotos && density < kSparseDensity;
  if (!used_sparse_) {
    for (size_t k = photos_; k < slot_pair_.size(); ++k) {
      const auto [c1, c2] = slot_pair_[k];
      if (!slot_table_.empty())
        slot_table_[static_cast<size_t>(c1) * photos_ + c2] = -1;
      else
        slot_map_.erase(static_cast<int64_t>(c1) * photos_ + c2);
    }
    slot_pair_.resize(static_cast<size_t>(photos_));
  }
  blocks_.assign(slot_pair_.size(), Mat66::Zero());
  bc_.assign(static_cast<size_t>(photos_), Vec6::Zero());
  V_.assign(static_cast<size_t>(points_), Mat33::Zero());
  Vinv_.assign(static_cast<size_t>(points_), Mat33::Zero());
  bp_.assign(static_cast<size_t>(points_), Vec3::Zero());
  W_.assign(photo_of_.size(), Mat63::Zero());
  point_failed_.assign(static_cast<size_t>(points_), 0);
  have_cofactors_ = false;
}

int ReducedNormals::Slot(int c1, int c2) const {
  if (!slot_table_.empty()) return slot_table_[static_cast<size_t>(c1) * photos_ + c2];
  const auto it = slot_map_.find(static_cast<int64_t>(c1) * photos_ + c2);
  return it == slot_map_.end() ? -1 : it->second;
}

void ReducedNormals::Clear() {
  for (Mat66& b : blocks_) b.setZero();
  for (Vec6& b : bc_) b.setZero();
  for (Mat33& v : V_) v.setZero();
  for (Vec3& b : bp_) b.setZero();
  for (Mat63& w : W_) w.setZero();
  std::fill(point_failed_.begin(), point_failed_.end(), 0);
  have_cofactors_ = false;
}

void ReducedNormals::Add(int k, const double photo_coeff[6], const double point_coeff[3],
                         double l, double w) {
  const int c = photo_of_[k];
  const int j = point_of_[k];
  const Eigen::Map<const Vec6> a(photo_coeff);
  blocks_[Slot(c, c)].noalias() += (w * a) * a.transpose();
  bc_[c] += (w * l) * a;
  if (j < 0) return;
  const Eigen::Map<const Vec3> b(point_coeff);
  V_[j].noalias() += (w * b) * b.transpose();
  bp_[j] += (w * l) * b;
  W_[k].noalias() += (w * a) * b.transpose();
}

// S = U - W V^-1 W' and bc - W V^-1 bp, point by point. In the dense form
// a point seen on at least half the photos is an update of rank three,
// G G' with G = W chol(V^-1) over all photos, kBatch points at a time;
// any other point updates the blocks of its photo pairs, in the dense
// matrix or in the sparse blocks.
void ReducedNormals::ReduceRange(int j0, int j1, Eigen::MatrixXd* dense, std::vector<Vec6>& bc) {
  constexpr int kBatch = 32;
  std::vector<Mat63> T;
  const int n = 6 * photos_;
  Eigen::MatrixXd G;
  int batched = 0;
  if (dense) G.setZero(n, 3 * kBatch);
  for (int j = j0; j < j1; ++j) {
    Mat33 V = V_[j];
    for (int e = 0; e < 3; ++e)
      V(e, e) = point_active_[e] ? V(e, e) + shift_ : 1;  // held coordinate: correction 0
    if (!InvertPointBlock(V, &Vinv_[j])) {
      point_failed_[j] = 1;
      Vinv_[j].setZero();
      continue;
    }
    const int begin = first_[j], end = first_[j + 1];
    T.resize(static_cast<size_t>(end - begin));
    for (int a = begin; a < end; ++a) {
      const int k = obs_of_point_[a];
      T[a - begin].noalias() = W_[k] * Vinv_[j];
      bc[photo_of_[k]].noalias() -= T[a - begin] * bp_[j];
    }
    if (dense && 12 * (end - begin) >= n) {
      const Mat33 C = Eigen::LLT<Mat33>(Vinv_[j]).matrixL();
      for (int a = begin; a < end; ++a) {
        const int k = obs_of_point_[a];
        G.block<6, 3>(6 * photo_of_[k], 3 * batched).noalias() += W_[k] * C;
      }
      if (++batched == kBatch) {
        dense->selfadjointView<Eigen::Lower>().rankUpdate(G, -1.0);
        G.setZero();
        batched = 0;
      }
      continue;
    }
    for (int a = begin; a < end; ++a) {
      const int k1 = obs_of_point_[a];
      const int c1 = photo_of_[k1];
      for (int b = a; b < end; ++b) {
        const int k2 = obs_of_point_[b];
        const int c2 = photo_of_[k2];
        const Mat66 M = T[a - begin] * W_[k2].transpose();
        if (dense) {
          // The lower triangle of the dense matrix.
          if (c1 > c2) {
            dense->block<6, 6>(6 * c1, 6 * c2) -= M;
          } else if (c1 < c2) {
            dense->block<6, 6>(6 * c2, 6 * c1) -= M.transpose();
          } else {
            auto d = dense->block<6, 6>(6 * c1, 6 * c1);
            d -= M;
            if (a != b) d -= M.transpose();
          }
        } else if (c1 < c2) {
          blocks_[Slot(c1, c2)] -= M;
        } else if (c1 > c2) {
          blocks_[Slot(c2, c1)] -= M.transpose();
        } else {
          Mat66& d = blocks_[Slot(c1, c1)];
          d -= M;
          if (a != b) d -= M.transpose();
        }
      }
    }
  }
  if (batched > 0) dense->selfadjointView<Eigen::Lower>().rankUpdate(G, -1.0);
}

void ReducedNormals::ReducePoints() {
  if (used_sparse_) {
    ReduceRange(0, points_, nullptr, bc_);
    return;
  }
  const int n = 6 * photos_;
  dense_.setZero(n, n);
  // A large dense system is reduced by two threads, each over half of the
  // points into its own matrix; the halves are added in a fixed order, so
  // the result does not depend on the timing.
  const double work = static_cast<double>(n) * n * points_;
  if (work >= two_thread_work_ && points_ >= 2) {
    const int half = points_ / 2;
    Eigen::MatrixXd second = Eigen::MatrixXd::Zero(n, n);
    std::vector<Vec6> second_bc(static_cast<size_t>(photos_), Vec6::Zero());
    std::thread worker;
    try {
      worker = std::thread([&] { ReduceRange(half, points_, &second, second_bc); });
    } catch (const std::system_error&) {
      // No second thread: the points are reduced on this one.
    }
    if (worker.joinable()) {
      ReduceRange(0, half, &dense_, bc_);
      worker.join();
      dense_.triangularView<Eigen::Lower>() += second;
      for (int c = 0; c < photos_; ++c) bc_[c] += second_bc[c];
      return;
    }
  }
  ReduceRange(0, points_, &dense_, bc_);
}

void ReducedNormals::Solve(std::vector<double>& dc, std::vector<double>& dp,
                           bool keep_cofactors) {
  ReducePoints();
  // Held photo elements: unit diagonal, zero correction.
  for (int c = 0; c < photos_; ++c)
    for (int e = 0; e < 6; ++e) {
      double& d = blocks_[Slot(c, c)](e, e);
      if (photo_active_[e]) {
        d += shift_;
      } else {
        d = 1;
        bc_[c](e) = 0;
      }
    }
  const int n = 6 * photos_;
  Eigen::VectorXd x(n);
  keep_cofactors = keep_cofactors && photos_ <= kCofactorPhotoLimit;
  const int failed = used_sparse_ ? FactoriseAndSolveSparse(x, keep_cofactors)
                                  : FactoriseAndSolveDense(x, keep_cofactors);
  if (failed >= 0) {
    for (int i = failed; i < n; ++i) x(i) = kNaN;
    have_cofactors_ = false;
  }
  BackSubstitute(x, dc, dp);
  if (have_cofactors_) PointCofactors();
}

// Jacobi scaling: the factorised matrix has a unit diagonal, which keeps the
// mm and radian columns apart in size. Returns the first column whose
// diagonal is not positive, or -1, and fills the scales.
static int Scales(const Eigen::VectorXd& diagonal, Eigen::VectorXd* scale) {
  scale->resize(diagonal.size());
  for (Eigen::Index i = 0; i < diagonal.size(); ++i) {
    const double d = diagonal(i);
    if (!(d > 0) || !std::isfinite(d)) return static_cast<int>(i);
    (*scale)(i) = 1.0 / std::sqrt(d);
  }
  return -1;
}

// S^-1 from the Cholesky factor L of S: L^-1 a block of columns at a time
// (each block is zero above its diagonal, so only the trailing part of L
// enters), then L^-T L^-1 as a symmetric product whose lower triangle is
// mirrored. About a third of the work of solving L L' X = I.
static Eigen::MatrixXd InverseFromFactor(const Eigen::MatrixXd& L) {
  const Eigen::Index n = L.rows();
  constexpr Eigen::Index kBlock = 64;
  Eigen::MatrixXd inv = Eigen::MatrixXd::Zero(n, n);
  for (Eigen::Index j = 0; j < n; j += kBlock) {
    const Eigen::Index w = std::min(kBlock, n - j), m = n - j;
    auto X = inv.block(j, j, m, w);
    X.topRows(w).setIdentity();
    L.block(j, j, m, m).triangularView<Eigen::Lower>().solveInPlace(X);
  }
  Eigen::MatrixXd S = Eigen::MatrixXd::Zero(n, n);
  S.selfadjointView<Eigen::Lower>().rankUpdate(inv.transpose());
  for (Eigen::Index c = 0; c < n; ++c)
    for (Eigen::Index r = c + 1; r < n; ++r) S(c, r) = S(r, c);
  return S;
}

int ReducedNormals::FactoriseAndSolveDense(Eigen::VectorXd& x, bool keep_cofactors) {
  const int n = 6 * photos_;
  // The lower triangle: the photos' own blocks added to the points' updates.
  Eigen::MatrixXd& L = dense_;
  for (size_t k = 0; k < slot_pair_.size(); ++k) {
    const auto [c1, c2] = slot_pair_[k];
    L.block<6, 6>(6 * c2, 6 * c1) += blocks_[k].transpose();
  }
  Eigen::VectorXd s;
  const int bad = Scales(L.diagonal(), &s);
  if (bad >= 0) return bad;
  L = s.asDiagonal() * L * s.asDiagonal();
  const Eigen::Index failed = Eigen::internal::llt_inplace<double, Eigen::Lower>::blocked(L);
  if (failed >= 0) return static_cast<int>(failed);
  Eigen::VectorXd rhs(n);
  for (int c = 0; c < photos_; ++c) rhs.segment<6>(6 * c) = bc_[c];
  rhs = s.asDiagonal() * rhs;
  const auto tri = L.triangularView<Eigen::Lower>();
  const auto tri_t = L.transpose().triangularView<Eigen::Upper>();
  tri.solveInPlace(rhs);
  tri_t.solveInPlace(rhs);
  x = s.asDiagonal() * rhs;
  if (keep_cofactors) {
    Sinv_ = InverseFromFactor(L);
    Sinv_ = s.asDiagonal() * Sinv_ * s.asDiagonal();
    have_cofactors_ = true;
  }
  return -1;
}

int ReducedNormals::FactoriseAndSolveSparse(Eigen::VectorXd& x, bool keep_cofactors) {
  const int n = 6 * photos_;
  Eigen::VectorXd diagonal(n);
  for (int c = 0; c < photos_; ++c) diagonal.segment<6>(6 * c) = blocks_[Slot(c, c)].diagonal();
  Eigen::VectorXd s;
  const int bad = Scales(diagonal, &s);
  if (bad >= 0) return bad;
  std::vector<Eigen::Triplet<double>> entries;
  entries.reserve(slot_pair_.size() * 36);
  for (size_t k = 0; k < slot_pair_.size(); ++k) {
    const auto [c1, c2] = slot_pair_[k];
    for (int r = 0; r < 6; ++r)
      for (int q = 0; q < 6; ++q) {
        const int row = 6 * c1 + r, col = 6 * c2 + q;
        if (row <= col) entries.emplace_back(row, col, s(row) * blocks_[k](r, q) * s(col));
      }
  }
  Eigen::SparseMatrix<double> S(n, n);
  S.setFromTriplets(entries.begin(), entries.end());
  entries = {};
  Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Upper> ldlt(S);
  const Eigen::VectorXd& D = ldlt.vectorD();
  int first_bad = -1;
  for (Eigen::Index i = 0; i < D.size(); ++i)
    if (!(D(i) > 0) || !std::isfinite(D(i))) {
      first_bad = ldlt.permutationPinv().indices()(i);
      break;
    }
  if (ldlt.info() != Eigen::Success && first_bad < 0) first_bad = 0;
  if (first_bad >= 0) return first_bad;
  Eigen::VectorXd rhs(n);
  for (int c = 0; c < photos_; ++c) rhs.segment<6>(6 * c) = bc_[c];
  x = s.asDiagonal() * ldlt.solve(s.asDiagonal() * rhs);
  if (keep_cofactors) {
    Sinv_ = ldlt.solve(Eigen::MatrixXd::Identity(n, n));
    Sinv_ = s.asDiagonal() * Sinv_ * s.asDiagonal();
    have_cofactors_ = true;
  }
  return -1;
}

void ReducedNormals::BackSubstitute(const Eigen::VectorXd& x, std::vector<double>& dc,
                                    std::vector<double>& dp) {
  dc.assign(static_cast<size_t>(6 * photos_), 0.0);
  for (int i = 0; i < 6 * photos_; ++i) dc[i] = x(i);
  dp.assign(static_cast<size_t>(3 * points_), 0.0);
  for (int j = 0; j < points_; ++j) {
    Vec3 r = bp_[j];
    for (int a = first_[j]; a < first_[j + 1]; ++a) {
      const int k = obs_of_point_[a];
      r.noalias() -= W_[k].transpose() * x.segment<6>(6 * photo_of_[k]);
    }
    const Vec3 d = Vinv_[j] * r;
    for (int e = 0; e < 3; ++e)
      dp[3 * j + e] = point_failed_[j] ? kNaN : (point_active_[e] ? d(e) : 0.0);
  }
}

// V^-1 + T' S^-1 T with T = W V^-1 stacked over the point's photos.
void ReducedNormals::PointCofactors() {
  point_cofactor_.assign(static_cast<size_t>(points_), Vec3::Zero());
  const int n = 6 * photos_;
  // Points seen by many photos go in batches: their T stacked into the
  // columns of one matrix, S^-1 times it as one product.
  constexpr int kBatch = 32;
  Eigen::MatrixXd stacked;
  std::vector<int> batch;
  auto store = [this](int j, const Vec3& diagonal) {
    for (int e = 0; e < 3; ++e) point_cofactor_[j](e) = point_active_[e] ? diagonal(e) : 0.0;
  };
  auto flush = [&] {
    if (batch.empty()) return;
    const Eigen::Index cols = 3 * static_cast<Eigen::Index>(batch.size());
    const Eigen::MatrixXd product = Sinv_ * stacked.leftCols(cols);
    for (size_t q = 0; q < batch.size(); ++q) {
      const Eigen::Index c = 3 * static_cast<Eigen::Index>(q);
      const Vec3 d = (stacked.middleCols<3>(c).array() * product.middleCols<3>(c).array())
                         .colwise()
                         .sum()
                         .transpose();
      store(batch[q], Vinv_[batch[q]].diagonal() + d);
    }
    stacked.leftCols(cols).setZero();
    batch.clear();
  };
  std::vector<Mat63> T;
  for (int j = 0; j < points_; ++j) {
    const int begin = first_[j], end = first_[j + 1];
    if (12 * (end - begin) >= n) {
      if (stacked.size() == 0) stacked.setZero(n, 3 * kBatch);
      const Eigen::Index c = 3 * static_cast<Eigen::Index>(batch.size());
      for (int a = begin; a < end; ++a) {
        const int k = obs_of_point_[a];
        stacked.block<6, 3>(6 * photo_of_[k], c).noalias() += W_[k] * Vinv_[j];
      }
      batch.push_back(j);
      if (static_cast<int>(batch.size()) == kBatch) flush();
      continue;
    }
    T.resize(static_cast<size_t>(end - begin));
    for (int a = begin; a < end; ++a) T[a - begin].noalias() = W_[obs_of_point_[a]] * Vinv_[j];
    // Only the diagonal is wanted, and the terms of photos (a, b) and (b, a)
    // have the same diagonal: each unordered pair once, the others twice.
    Vec3 diagonal = Vinv_[j].diagonal();
    for (int a = begin; a < end; ++a) {
      const int c1 = photo_of_[obs_of_point_[a]];
      for (int b = a; b < end; ++b) {
        const int c2 = photo_of_[obs_of_point_[b]];
        const Mat63 ST = Sinv_.block<6, 6>(6 * c1, 6 * c2) * T[b - begin];
        const Vec3 d = (T[a - begin].array() * ST.array()).colwise().sum().transpose();
        diagonal += a == b ? d : Vec3(2 * d);
      }
    }
    store(j, diagonal);
  }
  flush();
}

bool ReducedNormals::PhotoCofactorDiagonal(int photo, double out[6]) const {
  if (!have_cofactors_ || photo < 0 || photo >= photos_) return false;
  for (int e = 0; e < 6; ++e) out[e] = photo_active_[e] ? Sinv_(6 * photo + e, 6 * photo + e) : 0.0;
  return true;
}

bool ReducedNormals::PointCofactorDiagonal(int point, double out[3]) const {
  if (!have_cofactors_ || point < 0 || point >= points_) return false;
  for (int e = 0; e < 3; ++e) out[e] = point_cofactor_[point](e);
  return true;
}

}  // namespace vistamet
