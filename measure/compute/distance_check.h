// Comparison of independently measured distances with the distances between
// the project's space points, and its report _Distance.txt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "measure/records/records.h"

namespace vistamet {

struct KnownDistance {
  int32_t start = 0;
  int32_t end = 0;
  double known = 0;  // same unit as the coordinates (mm)
};

// Reads a known-distance file: one record "start end distance" per line,
// separated by white space; extra fields are ignored. A line that does not
// begin with two integers and a number is skipped and counted in *skipped.
// False with *error set when the file cannot be read.
bool ReadKnownDistances(const std::string& path, std::vector<KnownDistance>* out,
                        int* skipped, std::string* error);
// The same from the file's text.
std::vector<KnownDistance> ParseKnownDistances(std::string_view text, int* skipped = nullptr);

struct DistanceCheck {
  std::string report;      // the text of _Distance.txt (UTF-8)
  int matched = 0;         // records whose two points exist
  double standardError = 0;
  double maxError = 0;     // the error of largest magnitude, with its sign
  double meanError = 0;    // 0 with fewer than three matched records
};

// Compares every record with the first space points of its two numbers.
DistanceCheck CheckDistances(const std::vector<KnownDistance>& known,
                             const std::vector<SpacePoint>& points);

inline constexpr char kDistanceReportName[] = "_Distance.txt";

// Reads `known_path`, checks and writes `folder`/_Distance.txt (in CP936).
// 1 on success; 0 with *error set when the file cannot be read or the
// report cannot be written.
int RunDistanceCheck(const std::string& known_path, const std::vector<SpacePoint>& points,
                     const std::string& folder, DistanceCheck* result, std::string* error);

}  // namespace vistamet
