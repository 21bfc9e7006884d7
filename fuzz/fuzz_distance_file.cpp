// The known-distance file reader and the check on its records.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "measure/compute/distance_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int skipped = 0;
  const std::vector<vistamet::KnownDistance> known =
      vistamet::ParseKnownDistances(fuzz::Bytes(data, size), &skipped);
  fuzz::Require(skipped >= 0);
  std::vector<vistamet::SpacePoint> points(3);
  for (int i = 0; i < 3; ++i) {
    points[i].pointNumber = i + 1;
    points[i].X = 100.0 * i;
  }
  vistamet::CheckDistances(known, points);
  return 0;
}
