// Triangle target finder: correlates a small downward-pointing triangle
// with a grey image and returns the apexes of the best matches.
//
// The pattern is a 6-row x 11-column binary mask (26 cells set), row 0 at
// the top:
//
//   row 0   0 1 1 1 1 1 1 1 1 1 0
//   row 1   0 0 0 1 1 1 1 1 0 0 0
//   row 2   0 0 0 1 1 1 1 1 0 0 0
//   row 3   0 0 0 0 1 1 1 0 0 0 0
//   row 4   0 0 0 0 1 1 1 0 0 0 0
//   row 5   0 0 0 0 0 1 0 0 0 0 0
//
// Steps, for an image of W x H pixels:
//  1. correlation image, (W - 10) x (H - 5) bytes: position (row, column) is
//     the window whose top-left pixel is (column, row); its value is
//     trunc(100 * |cov(mask, window)| / sqrt(var(window) * var(mask))), the
//     normalised correlation in percent, or 0 when var(window) < 1 (population
//     variances over the 66 cells). Light and dark triangles score alike;
//  2. peaks: interior positions above 60 that are strictly greater than the
//     upper-left, upper, upper-right and left neighbours and at least as
//     large as the other four;
//  3. contrast of a peak: |mean of the 25 cells with r < c < 10 - r - mean of
//     the other 41| in its window; score = trunc(value * contrast / largest
//     contrast of all peaks);
//  4. peaks ordered by score, descending, equal scores in scan order (row by
//     row, left to right); the first maxCount are kept;
//  5. each kept peak is placed at its window's apex cell (row 5, column 5),
//     refined by a parabola through the correlation values of its
//     neighbours in x and in y.
//
// Coordinates are pixels: x = column, y = row, counted from the top-left
// pixel; integer values are pixel centres.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "measure/compute/grey_image.h"

namespace vistamet {

// The number of targets kept per photo by the extraction.
constexpr int kMaxTrianglesPerPhoto = 50;

// The pattern window.
constexpr int kTriangleWindowRows = 6;
constexpr int kTriangleWindowCols = 11;
// Correlation values must exceed this to make a peak.
constexpr int kTrianglePeakThreshold = 60;

// One found target: its apex in pixels (single precision, as stored by the
// extraction before it becomes an image point).
struct TrianglePoint {
  float x = 0;
  float y = 0;
};

// The correlation image: one byte (0..100) per window position.
struct TriangleCorrelation {
  std::vector<uint8_t> values;  // cols * rows, row 0 first
  int32_t cols = 0;             // W - 10 (0 when the image is narrower than 11)
  int32_t rows = 0;             // H - 5  (0 when the image is lower than 6)

  uint8_t At(int32_t column, int32_t row) const {
    return values[static_cast<size_t>(row) * static_cast<size_t>(cols) +
                  static_cast<size_t>(column)];
  }
};

// One peak of the correlation image.
struct TrianglePeak {
  int32_t row = 0;     // window position
  int32_t column = 0;
  int32_t value = 0;   // correlation, 61..100
  // 1025 * |mean inside - mean outside| of the contrast triangle: an exact
  // integer (25 * 41 = 1025), so scores need no floating point.
  int64_t contrast = 0;
  int32_t score = 0;
};

// Step 1. Window sums are kept with running sums (column sums over six rows,
// row prefix sums for the masked cells), so the cost does not depend on the
// window size. Returns 1, or 0 (out emptied) for an invalid image or when
// *stop became true (checked every few rows). An image smaller than one
// window gives 1 and an empty correlation image.
int ComputeTriangleCorrelation(const GreyImage& image, TriangleCorrelation* out,
                               const std::atomic<bool>* stop = nullptr);

// Step 2: the peaks in scan order (row by row, left to right). The list grows
// as needed.
std::vector<TrianglePeak> FindTrianglePeaks(const TriangleCorrelation& corr);

// Step 3: fills contrast and score of every peak. The peaks must come from a
// correlation image of the same image (their windows lie inside it). When
// every contrast is 0 the score is the correlation value.
void ScoreTrianglePeaks(const GreyImage& image, std::vector<TrianglePeak>* peaks);

// Step 4: orders by score, descending, ties in scan order, and keeps the
// first min(keep, count). Expects the peaks in scan order, as step 2 gives
// them; keep < 0 counts as 0.
void OrderTrianglePeaks(std::vector<TrianglePeak>* peaks, int keep);

// Step 5 for one peak (an interior position of corr): x = column + 5 +
// 0.5 (C(left) - C(right)) / (C(left) + C(right) - 2 C(centre)), or column +
// 5 when the denominator is 0; y likewise with the upper and lower values.
TrianglePoint TriangleApex(const TriangleCorrelation& corr, const TrianglePeak& peak);

// All steps: up to maxCount targets, best first. Returns their number;
// 0 with *points empty for an invalid image, maxCount <= 0, an image without
// any peak, or when *stop became true.
int FindTriangles(const GreyImage& image, int maxCount, std::vector<TrianglePoint>* points,
                  const std::atomic<bool>* stop = nullptr);

}  // namespace vistamet
