// Residuals of a transformation at its common points: how far each target
// point lies from its source point transformed with the solved parameters,
// the unit-weight standard error σ0 and the point that fits worst.
//
// v = transformed source - target, per coordinate, metres.
// σ0 = sqrt(Σv² / (observations - unknowns)): 3n - 7 for seven parameters,
// 2n - 4 for four (2n - 2 with a single point, which gives the shifts only).
// Without redundancy σ0 is not determined (NaN).
#pragma once

#include <string>
#include <vector>

#include "geotools/compute/common_points.h"
#include "geotools/compute/four_params.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

struct PointResidual {
  std::string name;
  double vx = 0, vy = 0, vz = 0;  // vz = 0 for plane points
  double Length() const;
};

struct SolveResiduals {
  bool spatial = true;          // vx, vy, vz (seven) or vx, vy (four)
  std::vector<PointResidual> points;
  double sigma0 = 0;            // metres; NaN without redundancy
  int worst = -1;               // index of the largest residual, -1 without points
};

SolveResiduals SevenResiduals(const std::vector<CommonPointRow>& rows, const SevenParams& p);
SolveResiduals FourResiduals(const std::vector<CommonPointRow>& rows, const FourParams& p);

// The report file: a header line, one line per common point (the name and
// its residuals with 4 decimals), then "σ0 = <value> m" ("σ0 = - m" when not
// determined) and the point with the largest residual. UTF-8.
std::string FormatResidualReport(const SolveResiduals& r);
// Saves the report atomically; false with *error set when it cannot.
bool WriteResidualReport(const std::string& path, const SolveResiduals& r, std::string* error);

}  // namespace georeckon
