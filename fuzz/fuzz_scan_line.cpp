// The scanf-like line scanner with each pattern the readers use, and the
// number scanner.
#include "common/scan_line.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kPatterns[] = {
      "%s %lf %lf %lf", "%lf %lf %lf", "%s %lf %lf", "%lf %lf", "%d %d %lf",
      "%s %lf %lf %lf %lf %lf %lf", "%s %lf %lf %lf %lf"};
  if (size == 0) return 0;
  const std::string_view line = fuzz::Bytes(data + 1, size - 1);
  common::ScanField fields[8];
  const int n = common::ScanLine(line, kPatterns[data[0] % 7], fields, 8);
  fuzz::Require(n >= 0 && n <= 8);
  size_t pos = 0;
  double value = 0;
  if (common::ScanDouble(line, &pos, &value)) fuzz::Require(pos <= line.size());
  common::TrimSpace(line);
  return 0;
}
