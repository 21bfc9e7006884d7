// The CP936 conversions: never fail where they promise not to, always give
// valid UTF-8, and stored strings read back as they were written.
#include <string>

#include "common/cp936.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  using common::TextEncoding;
  fuzz::Require(common::IsValidUtf8(common::DecodeText(bytes, TextEncoding::kCp936)));
  fuzz::Require(common::IsValidUtf8(common::DecodeText(bytes, TextEncoding::kUtf8)));
  const std::string text = common::FileTextToUtf8(bytes);
  fuzz::Require(common::IsValidUtf8(text));
  // Any string stored reads back byte for byte.
  const std::string stored = common::StoredTextToUtf8(bytes);
  fuzz::Require(common::StoredTextToUtf8(common::Utf8ToStoredText(stored)) == stored);
  fuzz::Require(common::StoredTextToUtf8(common::Utf8ToStoredText(text)) == text);
  // Strict conversions: what converts one way converts back.
  std::string utf8, cp936;
  if (common::Cp936ToUtf8(bytes, &utf8)) {
    fuzz::Require(common::IsValidUtf8(utf8));
    common::Utf8ToCp936(utf8, &cp936);
  }
  if (common::Utf8ToCp936(bytes, &cp936)) {
    fuzz::Require(common::Cp936ToUtf8(cp936, &utf8) && utf8 == bytes);
  }
  common::DetectTextEncoding(bytes, false);
  return 0;
}
