// Helpers shared by the fuzz targets.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Stops the run with a report when a property of the code under test fails.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// A 4 x 3 pixel 24-bit BMP, bottom-up rows padded to 4 bytes.
inline std::string SmallBmp() {
  auto u32 = [](std::string* s, uint32_t v) {
    for (int k = 0; k < 4; ++k) s->push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
  };
  const int w = 4, h = 3, row = 12;
  std::string b = "BM";
  u32(&b, 54 + row * h);
  u32(&b, 0);
  u32(&b, 54);
  u32(&b, 40);
  u32(&b, w);
  u32(&b, h);
  b += std::string("\x01\x00\x18\x00", 4);
  u32(&b, 0);
  u32(&b, row * h);
  u32(&b, 2835);
  u32(&b, 2835);
  u32(&b, 0);
  u32(&b, 0);
  for (int i = 0; i < row * h; ++i) b.push_back(static_cast<char>(i * 37));
  return b;
}

}  // namespace fuzz
