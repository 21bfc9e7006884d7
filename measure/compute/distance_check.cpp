#include "measure/compute/distance_check.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "common/strformat.h"
#include "measure/compute/bundle_adjuster.h"

namespace vistamet {

namespace {

// strtol/strtod on a NUL-terminated copy of one line.
bool ParseRecord(const std::string& line, KnownDistance* r) {
  const char* p = line.c_str();
  char* end = nullptr;
  const long a = std::strtol(p, &end, 10);
  if (end == p || a < INT32_MIN || a > INT32_MAX) return false;
  p = end;
  const long b = std::strtol(p, &end, 10);
  if (end == p || b < INT32_MIN || b > INT32_MAX) return false;
  p = end;
  const double d = std::strtod(p, &end);
  if (end == p || !std::isfinite(d)) return false;
  r->start = static_cast<int32_t>(a);
  r->end = static_cast<int32_t>(b);
  r->known = d;
  return true;
}

const SpacePoint* FirstWithNumber(const std::vector<SpacePoint>& points, int32_t n) {
  for (const SpacePoint& s : points)
    if (s.pointNumber == n) return &s;
  return nullptr;
}

}  // namespace

std::vector<KnownDistance> ParseKnownDistances(std::string_view text, int* skipped) {
  std::vector<KnownDistance> out;
  int bad = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string line(text.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.find_first_not_of(" \t\r\f\v") == std::string::npos) continue;  // blank
    if (line.find('\0') != std::string::npos) line.resize(line.find('\0'));
    KnownDistance r;
    if (ParseRecord(line, &r))
      out.push_back(r);
    else
      ++bad;
  }
  if (skipped) *skipped = bad;
  return out;
}

bool ReadKnownDistances(const std::string& path, std::vector<KnownDistance>* out, int* skipped,
                        std::string* error) {
  std::string text;
  if (!common::ReadWholeFile(path, &text, error)) return false;
  *out = ParseKnownDistances(text, skipped);
  return true;
}

DistanceCheck CheckDistances(const std::vector<KnownDistance>& known,
                             const std::vector<SpacePoint>& points) {
  DistanceCheck c;
  c.report = "Start  End\tKnownDistance\tCalDistance\tError\n";
  std::vector<double> errors;
  for (const KnownDistance& k : known) {
    const SpacePoint* a = FirstWithNumber(points, k.start);
    const SpacePoint* b = FirstWithNumber(points, k.end);
    if (!a || !b) continue;
    const double d = std::sqrt((a->Z - b->Z) * (a->Z - b->Z) + (a->Y - b->Y) * (a->Y - b->Y) +
                               (a->X - b->X) * (a->X - b->X));
    common::StrAppendFormat(&c.report, "%3d %3d %15.3lf %15.3lf %15.3lf\n", k.start, k.end,
                            k.known, d, d - k.known);
    errors.push_back(d - k.known);
  }
  c.matched = static_cast<int>(errors.size());
  BundleAdjuster::SeriesStats(errors, &c.standardError, &c.maxError, &c.meanError);
  common::StrAppendFormat(&c.report,
                          "距离计算误差统计:\n Standard Error: %15.3lf\n Max      Error: "
                          "%15.3lf\n Mean     Error: %15.3lf\n",
                          c.standardError, c.maxError, c.meanError);
  return c;
}

int RunDistanceCheck(const std::string& known_path, const std::vector<SpacePoint>& points,
                     const std::string& folder, DistanceCheck* result, std::string* error) {
  std::vector<KnownDistance> known;
  int skipped = 0;
  if (!ReadKnownDistances(known_path, &known, &skipped, error)) return 0;
  *result = CheckDistances(known, points);
  const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + kDistanceReportName;
  return common::SaveFileAtomically(path, common::Utf8ToFileText(result->report), error) ? 1 : 0;
}

}  // namespace vistamet
