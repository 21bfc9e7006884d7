// The seven- and four-parameter file readers; the first byte picks one.
#include "fuzz/fuzz_support.h"
#include "geotools/compute/param_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes = fuzz::Bytes(data + 1, size - 1);
  if (data[0] & 1) {
    georeckon::SevenParams p;
    georeckon::ParseSevenParamFile(bytes, &p);
  } else {
    georeckon::FourParams p;
    georeckon::ParseFourParamFile(bytes, &p);
  }
  return 0;
}
