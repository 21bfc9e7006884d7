#include "measure/compute/triangle_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vistamet {
namespace {

constexpr int kCells = kTriangleWindowRows * kTriangleWindowCols;  // 66
constexpr int kMaskCells = 26;
constexpr int kInsideCells = 25;                  // contrast triangle
constexpr int kOutsideCells = kCells - kInsideCells;  // 41

// With n = 66 cells, m the mask and g the window:
//   cov  = (S(mg) - S(m) S(g) / n) / n      = (n S(mg) - 26 S(g)) / n^2
//   var g = (S(g^2) - S(g)^2 / n) / n       = (n S(g^2) - S(g)^2) / n^2
//   var m = (26 - 26^2 / n) / n             = 1040 / n^2
// so 100 |cov| / sqrt(var g * var m) = 100 N / sqrt(1040 D) with the
// integers N = |n S(mg) - 26 S(g)| and D = n S(g^2) - S(g)^2, and
// var g >= 1 is D >= n^2. Working on N and D keeps the threshold exact and
// lets the truncation be checked in integers where the quotient sits on
// an integer.
constexpr int64_t kMaskVarianceNumerator = kCells * kMaskCells - kMaskCells * kMaskCells;
static_assert(kMaskVarianceNumerator == 1040);

inline uint8_t CorrelationByte(int64_t sumMg, int64_t sum, int64_t sumSq) {
  const int64_t d = kCells * sumSq - sum * sum;
  if (d < static_cast<int64_t>(kCells) * kCells) return 0;
  const int64_t n = std::llabs(kCells * sumMg - kMaskCells * sum);
  const double q = 100.0 * static_cast<double>(n) /
                   std::sqrt(static_cast<double>(kMaskVarianceNumerator * d));
  int64_t v = static_cast<int64_t>(q);
  const double frac = q - static_cast<double>(v);
  if (frac < 1e-6 || frac > 1.0 - 1e-6) {
    // v = floor(100 n / sqrt(1040 d))  <=>  v^2 * 1040 d <= 10000 n^2 < (v+1)^2 * 1040 d.
    const int64_t lhs = 10000 * n * n;
    const int64_t md = kMaskVarianceNumerator * d;
    while (v > 0 && v * v * md > lhs) --v;
    while ((v + 1) * (v + 1) * md <= lhs) ++v;
  }
  return static_cast<uint8_t>(std::min<int64_t>(v, 255));
}

// Cells (r, c) of the window with r < c < 10 - r.
inline bool InsideContrastTriangle(int r, int c) { return r < c && c < 10 - r; }

}  // namespace

int ComputeTriangleCorrelation(const GreyImage& image, TriangleCorrelation* out,
                               const std::atomic<bool>* stop) {
  out->values.clear();
  out->cols = 0;
  out->rows = 0;
  if (!image.Valid()) return 0;
  const int32_t w = image.width;
  const int32_t h = image.height;
  if (w < kTriangleWindowCols || h < kTriangleWindowRows) return 1;
  const int32_t cols = w - (kTriangleWindowCols - 1);
  const int32_t rows = h - (kTriangleWindowRows - 1);
  out->values.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows), 0);

  // Column sums of g and g^2 over the six rows of the current window row.
  std::vector<int32_t> colSum(w, 0), colSq(w, 0);
  // Prefix sums of the last six image rows, row y in ring slot y % 6:
  // prefix[x] = g(0) + ... + g(x - 1).
  std::vector<int32_t> ring(static_cast<size_t>(kTriangleWindowRows) * (w + 1), 0);
  auto prefixOf = [&](int32_t y) { return ring.data() + static_cast<size_t>(y % 6) * (w + 1); };
  auto addRow = [&](int32_t y, int sign) {
    const uint8_t* g = image.pixels + static_cast<size_t>(y) * w;
    for (int32_t x = 0; x < w; ++x) {
      const int32_t v = g[x];
      colSum[x] += sign * v;
      colSq[x] += sign * v * v;
    }
  };
  auto buildPrefix = [&](int32_t y) {
    const uint8_t* g = image.pixels + static_cast<size_t>(y) * w;
    int32_t* p = prefixOf(y);
    p[0] = 0;
    for (int32_t x = 0; x < w; ++x) p[x + 1] = p[x] + g[x];
  };
  for (int32_t y = 0; y < kTriangleWindowRows; ++y) {
    addRow(y, +1);
    buildPrefix(y);
  }

  for (int32_t r = 0; r < rows; ++r) {
    if (stop != nullptr && (r & 15) == 0 && stop->load(std::memory_order_relaxed)) {
      out->values.clear();
      out->cols = out->rows = 0;
      return 0;
    }
    if (r > 0) {
      addRow(r - 1, -1);
      addRow(r + 5, +1);
      buildPrefix(r + 5);
    }
    const int32_t* p0 = prefixOf(r);
    const int32_t* p1 = prefixOf(r + 1);
    const int32_t* p2 = prefixOf(r + 2);
    const int32_t* p3 = prefixOf(r + 3);
    const int32_t* p4 = prefixOf(r + 4);
    const uint8_t* g5 = image.pixels + static_cast<size_t>(r + 5) * w;
    uint8_t* dst = out->values.data() + static_cast<size_t>(r) * cols;

    int64_t sum = 0, sumSq = 0;
    for (int32_t x = 0; x < kTriangleWindowCols; ++x) {
      sum += colSum[x];
      sumSq += colSq[x];
    }
    for (int32_t c = 0; c < cols; ++c) {
      if (c > 0) {
        sum += colSum[c + 10] - colSum[c - 1];
        sumSq += colSq[c + 10] - colSq[c - 1];
      }
      // Masked cells: row 0 columns 1..9, rows 1-2 columns 3..7, rows 3-4
      // columns 4..6, row 5 column 5.
      const int32_t sumMg = (p0[c + 10] - p0[c + 1]) + (p1[c + 8] - p1[c + 3]) +
                            (p2[c + 8] - p2[c + 3]) + (p3[c + 7] - p3[c + 4]) +
                            (p4[c + 7] - p4[c + 4]) + g5[c + 5];
      dst[c] = CorrelationByte(sumMg, sum, sumSq);
    }
  }
  out->cols = cols;
  out->rows = rows;
  return 1;
}

std::vector<TrianglePeak> FindTrianglePeaks(const TriangleCorrelation& corr) {
  std::vector<TrianglePeak> peaks;
  if (corr.cols < 3 || corr.rows < 3 ||
      corr.values.size() != static_cast<size_t>(corr.cols) * static_cast<size_t>(corr.rows)) {
    return peaks;
  }
  const size_t stride = static_cast<size_t>(corr.cols);
  for (int32_t r = 1; r + 1 < corr.rows; ++r) {
    const uint8_t* up = corr.values.data() + (r - 1) * stride;
    const uint8_t* mid = up + stride;
    const uint8_t* down = mid + stride;
    for (int32_t c = 1; c + 1 < corr.cols; ++c) {
      const int g = mid[c];
      if (g <= kTrianglePeakThreshold) continue;
      if (g > up[c - 1] && g > up[c] && g > up[c + 1] && g > mid[c - 1] && g >= mid[c + 1] &&
          g >= down[c - 1] && g >= down[c] && g >= down[c + 1]) {
        TrianglePeak p;
        p.row = r;
        p.column = c;
        p.value = g;
        peaks.push_back(p);
      }
    }
  }
  return peaks;
}

void ScoreTrianglePeaks(const GreyImage& image, std::vector<TrianglePeak>* peaks) {
  int64_t largest = 0;
  for (TrianglePeak& p : *peaks) {
    p.contrast = 0;
    if (!image.Valid() || p.row < 0 || p.column < 0 ||
        p.row + kTriangleWindowRows > image.height ||
        p.column + kTriangleWindowCols > image.width) {
      continue;
    }
    int64_t inside = 0, outside = 0;
    for (int r = 0; r < kTriangleWindowRows; ++r) {
      for (int c = 0; c < kTriangleWindowCols; ++c) {
        const int v = image.At(p.column + c, p.row + r);
        (InsideContrastTriangle(r, c) ? inside : outside) += v;
      }
    }
    // |inside / 25 - outside / 41| * 1025
    p.contrast = std::llabs(kOutsideCells * inside - kInsideCells * outside);
    largest = std::max(largest, p.contrast);
  }
  for (TrianglePeak& p : *peaks) {
    // trunc(value * contrast / largest), exact in integers. With no contrast
    // anywhere the ratio is taken as 1 rather than dividing by zero.
    p.score = largest > 0 ? static_cast<int32_t>(p.value * p.contrast / largest) : p.value;
  }
}

void OrderTrianglePeaks(std::vector<TrianglePeak>* peaks, int keep) {
  const size_t k = std::min(peaks->size(), static_cast<size_t>(std::max(keep, 0)));
  // A peak goes before another only on a strictly higher score; equal scores
  // stay in scan order. Scan order is (row, column), so comparing it as well
  // makes the order total and a partial sort gives the same first k as a
  // stable sort of the whole list.
  auto before = [](const TrianglePeak& a, const TrianglePeak& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.row != b.row) return a.row < b.row;
    return a.column < b.column;
  };
  std::partial_sort(peaks->begin(), peaks->begin() + static_cast<std::ptrdiff_t>(k),
                    peaks->end(), before);
  peaks->resize(k);
}

TrianglePoint TriangleApex(const TriangleCorrelation& corr, const TrianglePeak& peak) {
  double x = peak.column + 5.0;
  double y = peak.row + 5.0;
  if (peak.row < 1 || peak.column < 1 || peak.row + 1 >= corr.rows ||
      peak.column + 1 >= corr.cols ||
      corr.values.size() != static_cast<size_t>(corr.cols) * static_cast<size_t>(corr.rows)) {
    return TrianglePoint{static_cast<float>(x), static_cast<float>(y)};  // no neighbours
  }
  const double centre = corr.At(peak.column, peak.row);
  const double left = corr.At(peak.column - 1, peak.row);
  const double right = corr.At(peak.column + 1, peak.row);
  const double up = corr.At(peak.column, peak.row - 1);
  const double down = corr.At(peak.column, peak.row + 1);
  const double dx = right + left - 2.0 * centre;
  if (dx != 0) x += 0.5 * (left - right) / dx;
  const double dy = down + up - 2.0 * centre;
  if (dy != 0) y += 0.5 * (up - down) / dy;
  return TrianglePoint{static_cast<float>(x), static_cast<float>(y)};
}

int FindTriangles(const GreyImage& image, int maxCount, std::vector<TrianglePoint>* points,
                  const std::atomic<bool>* stop) {
  points->clear();
  if (maxCount <= 0) return 0;
  TriangleCorrelation corr;
  if (!ComputeTriangleCorrelation(image, &corr, stop)) return 0;
  std::vector<TrianglePeak> peaks = FindTrianglePeaks(corr);
  ScoreTrianglePeaks(image, &peaks);
  OrderTrianglePeaks(&peaks, maxCount);
  points->reserve(peaks.size());
  for (const TrianglePeak& p : peaks) points->push_back(TriangleApex(corr, p));
  return static_cast<int>(points->size());
}

}  // namespace vistamet
