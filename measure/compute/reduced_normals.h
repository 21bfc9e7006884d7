// The normal equations of a bundle adjustment held as blocks and solved by
// reducing them to the photos' unknowns.
//
// With the photo unknowns c (six per photo) and the point unknowns p (three
// per point) the normal equations read
//
//   | U   W | |dc|   |bc|
//   | W'  V | |dp| = |bp|
//
// where U is block diagonal per photo, V block diagonal per point (3 x 3),
// and W has one 6 x 3 block per observation. The point blocks are
// eliminated point by point: the reduced system
//
//   S dc = bc - W V^-1 bp,   S = U - W V^-1 W'
//
// is factorised by Cholesky (dense while the photos overlap widely, sparse
// when each photo sees only part of the object), and every point follows by
// back substitution, dp = V^-1 (bp - W' dc). The full normal matrix is never
// formed. The cofactor matrix of the photos is S^-1, and that of one point
// V^-1 + V^-1 W' S^-1 W V^-1, which gives the precision of every unknown.
#pragma once

#include <Eigen/Core>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vistamet {

class ReducedNormals {
 public:
  using Mat66 = Eigen::Matrix<double, 6, 6>;
  using Mat63 = Eigen::Matrix<double, 6, 3>;
  using Mat33 = Eigen::Matrix<double, 3, 3>;
  using Vec6 = Eigen::Matrix<double, 6, 1>;
  using Vec3 = Eigen::Matrix<double, 3, 1>;

  ReducedNormals();
  ~ReducedNormals();
  ReducedNormals(const ReducedNormals&) = delete;
  ReducedNormals& operator=(const ReducedNormals&) = delete;

  // The structure, fixed for a run. Observation k sees photo photo_of[k]
  // (0 <= photo < photos) and unknown point point_of[k] (0 <= point <
  // points), or a fixed point (-1). photo_active and point_active say which
  // of the six photo elements and three point coordinates are unknowns; the
  // others are held (their corrections come out 0).
  void Setup(int photos, int points, std::vector<int> photo_of, std::vector<int> point_of,
             const bool photo_active[6], const bool point_active[3]);

  // A constant added to every diagonal element of the normal matrix of the
  // unknowns (not of held elements): the equations solved are
  // (N + shift I) x = u. 0 unless set.
  void SetDiagonalShift(double shift) { shift_ = shift; }

  // The work from which the dense reduction takes two threads
  // (kTwoThreadWork unless set; tests compare one and two threads).
  void SetTwoThreadWork(double work) { two_thread_work_ = work; }

  // Empties the equations for a new iteration.
  void Clear();
  // Adds one equation of observation k with weight w: coefficients of the
  // photo's six elements and the point's three coordinates, and the reduced
  // observation l.
  void Add(int k, const double photo_coeff[6], const double point_coeff[3], double l, double w);

  // Solves the equations. dc receives six corrections per photo, dp three
  // per point. A point whose block is singular gets NaN corrections; when the
  // reduced system is singular, the photo unknowns from the first column
  // that could not be eliminated on are NaN. With keep_cofactors the
  // cofactor blocks of every unknown are computed as well.
  void Solve(std::vector<double>& dc, std::vector<double>& dp, bool keep_cofactors);

  // Whether the last Solve used the sparse factorisation.
  bool UsedSparse() const { return used_sparse_; }
  // After Solve with keep_cofactors: the diagonal of the cofactor block of
  // one photo (six values) and of one point (three values). False when no
  // cofactors are kept.
  bool PhotoCofactorDiagonal(int photo, double out[6]) const;
  bool PointCofactorDiagonal(int point, double out[3]) const;

  // Cofactors are kept up to this many photos (the inverse of the reduced
  // system is held whole: 288 MB at the limit).
  static constexpr int kCofactorPhotoLimit = 1000;
  bool HasCofactors() const { return have_cofactors_; }

  // The photo count from which a reduced system whose blocks are mostly
  // zero is factorised sparse, and that density limit.
  static constexpr int kSparseFromPhotos = 60;
  static constexpr double kSparseDensity = 0.3;
  // From this much work (photo unknowns squared times points) the dense
  // reduction runs on two threads.
  static constexpr double kTwoThreadWork = 2e7;

 private:
  int Slot(int c1, int c2) const;
  void ReducePoints();
  // Eliminates points [j0, j1): into `dense` (the lower triangle of the
  // dense form) and `bc`, or into blocks_ and `bc` when dense is null.
  // Ranges reduced at the same time need their own `dense` and `bc`.
  void ReduceRange(int j0, int j1, Eigen::MatrixXd* dense, std::vector<Vec6>& bc);
  int FactoriseAndSolveDense(Eigen::VectorXd& x, bool keep_cofactors);
  int FactoriseAndSolveSparse(Eigen::VectorXd& x, bool keep_cofactors);
  void BackSubstitute(const Eigen::VectorXd& x, std::vector<double>& dc, std::vector<double>& dp);
  void PointCofactors();

  int photos_ = 0, points_ = 0;
  std::vector<int> photo_of_, point_of_;
  double shift_ = 0;
  double two_thread_work_ = kTwoThreadWork;
  bool photo_active_[6] = {true, true, true, true, true, true};
  bool point_active_[3] = {true, true, true};

  // Observations of every point, grouped: obs_of_point_[first_[j] ...
  // first_[j+1]).
  std::vector<int> first_, obs_of_point_;
  // Blocks of the reduced system above the diagonal and on it, by slot; a
  // photo pair's slot comes from the table (few photos) or the map.
  std::vector<int> slot_table_;
  std::unordered_map<int64_t, int> slot_map_;
  std::vector<std::pair<int, int>> slot_pair_;
  std::vector<Mat66> blocks_;
  std::vector<Vec6> bc_;
  std::vector<Mat33> V_, Vinv_;
  std::vector<Vec3> bp_;
  std::vector<Mat63> W_;
  std::vector<uint8_t> point_failed_;  // bytes: two threads write them
  // S^-1 after a solve with cofactors, and the points' cofactor diagonals.
  Eigen::MatrixXd Sinv_;
  // The dense form of the reduced system (lower triangle).
  Eigen::MatrixXd dense_;
  std::vector<Vec3> point_cofactor_;
  bool have_cofactors_ = false;
  bool used_sparse_ = false;
};

}  // namespace vistamet
