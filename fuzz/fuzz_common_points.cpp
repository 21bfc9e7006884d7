// The common-point list reader; the first byte picks spatial or plane.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "geotools/compute/common_points.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto kind = (data[0] & 1) ? georeckon::CommonPointKind::kSpatial
                                  : georeckon::CommonPointKind::kPlane;
  std::vector<georeckon::CommonPointRow> rows;
  const auto r = georeckon::ParseCommonPointList(fuzz::Bytes(data + 1, size - 1), kind, &rows);
  fuzz::Require(static_cast<size_t>(r.rows_added) == rows.size());
  for (const auto& row : rows) georeckon::RowValues(row);
  return 0;
}
