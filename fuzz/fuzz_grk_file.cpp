// The GeoReckon document reader: any bytes are read or refused; what is
// read writes back to bytes that read to the same document.
#include "fuzz/fuzz_support.h"
#include "geotools/compute/grk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  georeckon::GrkDocument doc;
  if (georeckon::ParseGrk(fuzz::Bytes(data, size), &doc).status != georeckon::GrkStatus::kOk)
    return 0;
  const std::string again = georeckon::SerializeGrk(doc);
  georeckon::GrkDocument back;
  fuzz::Require(georeckon::ParseGrk(again, &back).status == georeckon::GrkStatus::kOk);
  fuzz::Require(georeckon::SerializeGrk(back) == again);
  return 0;
}
