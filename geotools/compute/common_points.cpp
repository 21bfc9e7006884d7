#include "geotools/compute/common_points.h"

#include <new>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "common/scan_line.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/text_lines.h"

namespace georeckon {

int CellCount(CommonPointKind kind) { return kind == CommonPointKind::kSpatial ? 6 : 4; }

CommonPointRow MakeCommonPointRow(const std::string& name, const double* values, int count) {
  CommonPointRow row;
  row.name = name;
  row.cells.reserve(count);
  for (int i = 0; i < count; ++i) row.cells.push_back(FormatFixed(values[i], 0, 4));
  return row;
}

std::string EditedCellText(double value) { return FormatFixed(value, 0, 5); }

std::vector<double> RowValues(const CommonPointRow& row) {
  std::vector<double> values;
  values.reserve(row.cells.size());
  for (const std::string& cell : row.cells) values.push_back(ParseNumberOrZero(cell));
  return values;
}

PointListResult ParseCommonPointList(std::string_view text, CommonPointKind kind,
                                     std::vector<CommonPointRow>* rows) {
  PointListResult result;
  result.opened = true;
  const bool spatial = kind == CommonPointKind::kSpatial;
  const size_t min_length = spatial ? 12 : 8;
  const char* pattern = spatial ? "%s %lf %lf %lf %lf %lf %lf" : "%s %lf %lf %lf %lf";
  const int fields_wanted = spatial ? 7 : 5;
  // The encoding and the separator are decided once for the whole list.
  const common::TextEncoding encoding = common::DetectTextEncoding(text);
  text = StripUtf8Bom(text);
  result.separator = DetectFieldSeparator(text, encoding);
  LineCursor cursor(text);
  std::string_view raw;
  while (cursor.Next(&raw)) {
    ++result.lines;
    const std::string_view line = common::TrimSpace(UpToNul(raw));
    common::ScanField fields[7];
    const bool too_short =
        line.size() <= min_length || CodePageLength(line, encoding) <= min_length;
    if (too_short || ReadLineFields(line, result.separator, encoding, pattern, fields_wanted,
                                    fields) < fields_wanted) {
      ++result.lines_skipped;
      if (!line.empty() && result.skips.size() < kMaxListedSkips) {
        result.skips.push_back(BatchLineFailure{
            result.lines, too_short ? LineFailure::kTooShort : LineFailure::kMissingFields});
      }
      continue;
    }
    double values[6];
    for (int i = 1; i < fields_wanted; ++i) values[i - 1] = fields[i].number;
    rows->push_back(MakeCommonPointRow(common::DecodeText(fields[0].text, encoding), values,
                                       fields_wanted - 1));
    ++result.rows_added;
  }
  return result;
}

PointListResult ReadCommonPointList(const std::string& path, CommonPointKind kind,
                                    std::vector<CommonPointRow>* rows) {
  PointListResult result;
  try {
    std::string bytes, error;
    if (!common::ReadWholeFile(path, &bytes, &error)) {
      result.detail = error;
      return result;
    }
    return ParseCommonPointList(bytes, kind, rows);
  } catch (const std::bad_alloc&) {
    // A file too large for memory reads as a file that cannot be opened.
    result.opened = false;
    result.detail = "not enough memory to read " + path;
    return result;
  }
}

namespace {

template <typename Point, int kCells>
bool CollectPoints(const std::vector<CommonPointRow>& rows, std::vector<Point>* sources,
                   std::vector<Point>* targets, void (*fill)(const double*, Point*, Point*)) {
  for (const CommonPointRow& row : rows) {
    if (row.cells.size() != static_cast<size_t>(kCells)) return false;
    const std::vector<double> v = RowValues(row);
    Point s, t;
    fill(v.data(), &s, &t);
    sources->push_back(s);
    targets->push_back(t);
  }
  return true;
}

}  // namespace

SolveStatus SolveSevenFromRows(const std::vector<CommonPointRow>& rows, SevenParams* shown) {
  if (rows.size() < 3) return SolveStatus::kTooFewPoints;
  std::vector<Xyz> sources, targets;
  if (!CollectPoints<Xyz, 6>(rows, &sources, &targets, [](const double* v, Xyz* s, Xyz* t) {
        *s = Xyz{v[0], v[1], v[2]};
        *t = Xyz{v[3], v[4], v[5]};
      })) {
    return SolveStatus::kSingular;
  }
  SevenParams p;
  const SolveStatus status =
      SolveSevenParams(static_cast<int>(rows.size()), targets.data(), sources.data(), &p);
  if (status == SolveStatus::kOk) *shown = RoundSevenParams(p);
  return status;
}

SolveStatus SolveFourFromRows(const std::vector<CommonPointRow>& rows, FourParams* shown) {
  if (rows.empty()) return SolveStatus::kTooFewPoints;
  std::vector<Xy> sources, targets;
  if (!CollectPoints<Xy, 4>(rows, &sources, &targets, [](const double* v, Xy* s, Xy* t) {
        *s = Xy{v[0], v[1]};
        *t = Xy{v[2], v[3]};
      })) {
    return SolveStatus::kSingular;
  }
  FourParams p;
  const SolveStatus status =
      SolveFourParams(static_cast<int>(rows.size()), targets.data(), sources.data(), &p);
  if (status == SolveStatus::kOk) *shown = RoundFourParams(p);
  return status;
}

}  // namespace georeckon
