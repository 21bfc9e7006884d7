// The common-point tables of the two parameter solvers: rows as the solver
// dialogs show them, the point-list files that fill them, and solving from
// the shown cells.
//
// A cell holds the text the table shows ("%.4lf" when a point is added,
// "%.5f" after an in-place edit); the solvers read the numbers back from
// these texts, so the parameters depend on the shown values only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geotools/compute/batch.h"
#include "geotools/compute/four_params.h"
#include "geotools/compute/matrix.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

enum class CommonPointKind {
  kSpatial,  // name X Y Z X' Y' Z'  (seven parameters)
  kPlane,    // name x y x' y'        (four parameters)
};

// Number of coordinate cells of a row: 6 or 4.
int CellCount(CommonPointKind kind);

struct CommonPointRow {
  std::string name;                // UTF-8
  std::vector<std::string> cells;  // source then target coordinates, as shown
  bool operator==(const CommonPointRow&) const = default;
};

// A row as the "add" button makes it: each value formatted "%.4lf".
CommonPointRow MakeCommonPointRow(const std::string& name, const double* values, int count);

// The text a cell shows after an in-place edit: "%.5f".
std::string EditedCellText(double value);

// The numbers of a row's cells as the solver reads them back (0 for a cell
// that holds no number).
std::vector<double> RowValues(const CommonPointRow& row);

// Counts of one point-list read.
struct PointListResult {
  bool opened = false;       // false: the file could not be opened ("打开文件错误!")
  std::string detail;        // why not, with the path
  int64_t lines = 0;         // lines in the file
  int64_t rows_added = 0;    // accepted lines, appended as rows
  int64_t lines_skipped = 0; // too short or without all fields, blank lines included
  // The first kMaxListedSkips of these that are not blank, with the reason.
  std::vector<BatchLineFailure> skips;
  FieldSeparator separator = FieldSeparator::kBlank;  // as detected in the file
};
inline constexpr size_t kMaxListedSkips = 1000;

// Reads a point list as the "read" button does: fields separated by blanks,
// or in the whole file by commas or semicolons, as in batch files (a UTF-8
// byte order mark and CR LF accepted); each line trimmed; lines of
// 12 bytes or fewer (spatial) or 8 bytes or fewer (plane) skipped, as are
// lines from which "%s %lf %lf %lf %lf %lf %lf" (spatial) or
// "%s %lf %lf %lf %lf" (plane) does not read every field; each accepted line
// is appended to *rows as MakeCommonPointRow makes it (names turned into
// UTF-8 from CP936 or UTF-8).
PointListResult ReadCommonPointList(const std::string& path, CommonPointKind kind,
                                    std::vector<CommonPointRow>* rows);
PointListResult ParseCommonPointList(std::string_view text, CommonPointKind kind,
                                     std::vector<CommonPointRow>* rows);

// Solves from the shown cells and returns the parameters rounded as shown
// (RoundSevenParams / RoundFourParams). Fewer than 3 rows (spatial) or no
// row (plane) give kTooFewPoints; rows must hold the cells of their kind.
SolveStatus SolveSevenFromRows(const std::vector<CommonPointRow>& rows, SevenParams* shown);
SolveStatus SolveFourFromRows(const std::vector<CommonPointRow>& rows, FourParams* shown);

}  // namespace georeckon
