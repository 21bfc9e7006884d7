// The batch functions' line reader and converters. The first two bytes pick
// the function and the angle units; the rest is the input file.
#include <string>

#include "fuzz/fuzz_support.h"
#include "geotools/compute/batch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const georeckon::BatchFunctionInfo& info =
      georeckon::AllBatchFunctions()[data[0] % georeckon::kBatchFunctionCount];
  georeckon::BatchSettings settings;
  settings.inputUnit = static_cast<georeckon::AngleUnit>(data[1] % 3);
  settings.outputUnit = static_cast<georeckon::AngleUnit>((data[1] / 3) % 3);
  settings.zoneWidth = (data[1] & 0x40) ? 3 : 0;
  settings.zoneFromPoint = settings.zoneWidth != 0;
  std::string out;
  georeckon::RunBatchText(info.function, settings, fuzz::Bytes(data + 2, size - 2), &out);
  return 0;
}
