// The photo readers (BMP, JPEG, PNG, TIFF, chosen by their first bytes):
// the header probe and the decode, grey only and in colour. A decoded photo
// has the size its probe said and every buffer that size.
#include "fuzz/fuzz_support.h"
#include "measure/model/photo_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  vistamet::PhotoInfo info;
  std::string error;
  const bool probed = vistamet::ProbePhoto(bytes, "photo", &info, &error);
  if (!probed) return 0;
  fuzz::Require(info.width > 0 && info.height > 0);
  // Photos the size of real ones are valid but only cost the campaign time.
  if (int64_t{info.width} * info.height > 4'000'000) return 0;
  vistamet::DecodeOptions options;
  options.colour = (size & 1) != 0;
  vistamet::ImageHolder image;
  if (!vistamet::DecodePhoto(bytes, "photo", options, &image, &error)) return 0;
  fuzz::Require(image.width == info.width && image.height == info.height);
  fuzz::Require(image.grey.size() == static_cast<size_t>(image.width) * image.height);
  return 0;
}
