// Little-endian numbers in file bytes: single loads from a pointer, and a
// reader that walks a byte range and never reads past its end.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace common {

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Reads fixed-size little-endian fields in order. A read that does not fit
// in what remains returns false and consumes nothing.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : data_(bytes) {}

  size_t Remaining() const { return data_.size() - pos_; }
  size_t Position() const { return pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }

  bool U32(uint32_t* v) {
    if (Remaining() < 4) return false;
    *v = LoadLe32(reinterpret_cast<const uint8_t*>(data_.data() + pos_));
    pos_ += 4;
    return true;
  }
  bool I32(int32_t* v) {
    uint32_t u;
    if (!U32(&u)) return false;
    *v = static_cast<int32_t>(u);
    return true;
  }
  bool F32(float* v) {
    uint32_t bits;
    if (!U32(&bits)) return false;
    std::memcpy(v, &bits, 4);
    return true;
  }
  bool F64(double* v) {
    if (Remaining() < 8) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(data_.data() + pos_);
    const uint64_t bits = LoadLe32(p) | (uint64_t{LoadLe32(p + 4)} << 32);
    std::memcpy(v, &bits, 8);
    pos_ += 8;
    return true;
  }

 protected:
  std::string_view data_;
  size_t pos_ = 0;
};

}  // namespace common
