#include "geotools/compute/residuals.h"

#include <cmath>
#include <limits>

#include "common/atomic_file.h"
#include "geotools/compute/number_format.h"

namespace georeckon {

namespace {

void Finish(SolveResiduals* r, int unknowns) {
  const int per_point = r->spatial ? 3 : 2;
  const int redundancy = per_point * static_cast<int>(r->points.size()) - unknowns;
  double sum = 0, largest = -1;
  for (size_t i = 0; i < r->points.size(); ++i) {
    const PointResidual& v = r->points[i];
    sum += v.vx * v.vx + v.vy * v.vy + v.vz * v.vz;
    if (v.Length() > largest) {
      largest = v.Length();
      r->worst = static_cast<int>(i);
    }
  }
  r->sigma0 = redundancy > 0 ? std::sqrt(sum / redundancy)
                             : std::numeric_limits<double>::quiet_NaN();
}

void AppendValue(std::string* out, double v) {
  out->push_back(' ');
  AppendBatchFixed(out, v, 10, 4);
}

}  // namespace

double PointResidual::Length() const { return std::sqrt(vx * vx + vy * vy + vz * vz); }

SolveResiduals SevenResiduals(const std::vector<CommonPointRow>& rows, const SevenParams& p) {
  SolveResiduals r;
  r.spatial = true;
  for (const CommonPointRow& row : rows) {
    if (row.cells.size() != 6) continue;
    const std::vector<double> c = RowValues(row);
    const Xyz t = ApplySevenParams(p, Xyz{c[0], c[1], c[2]});
    r.points.push_back(PointResidual{row.name, t.X - c[3], t.Y - c[4], t.Z - c[5]});
  }
  Finish(&r, 7);
  return r;
}

SolveResiduals FourResiduals(const std::vector<CommonPointRow>& rows, const FourParams& p) {
  SolveResiduals r;
  r.spatial = false;
  for (const CommonPointRow& row : rows) {
    if (row.cells.size() != 4) continue;
    const std::vector<double> c = RowValues(row);
    const Xy t = ApplyFourParams(p, Xy{c[0], c[1]});
    r.points.push_back(PointResidual{row.name, t.x - c[2], t.y - c[3], 0});
  }
  Finish(&r, r.points.size() == 1 ? 2 : 4);
  return r;
}

std::string FormatResidualReport(const SolveResiduals& r) {
  std::string out = r.spatial ? "点名 vx(m) vy(m) vz(m)\n" : "点名 vx(m) vy(m)\n";
  for (const PointResidual& v : r.points) {
    out += v.name;
    AppendValue(&out, v.vx);
    AppendValue(&out, v.vy);
    if (r.spatial) AppendValue(&out, v.vz);
    out += '\n';
  }
  out += "σ0 = ";
  if (std::isnan(r.sigma0)) {
    out += "-";
  } else {
    AppendBatchFixed(&out, r.sigma0, 0, 4);
  }
  out += " m\n";
  if (r.worst >= 0) {
    const PointResidual& w = r.points[static_cast<size_t>(r.worst)];
    out += "最大残差: " + w.name + " ";
    AppendBatchFixed(&out, w.Length(), 0, 4);
    out += " m\n";
  }
  return out;
}

bool WriteResidualReport(const std::string& path, const SolveResiduals& r, std::string* error) {
  common::AtomicFileWriter file;
  return file.Create(path, error) && file.Write(FormatResidualReport(r), error) &&
         file.Commit(error);
}

}  // namespace georeckon
