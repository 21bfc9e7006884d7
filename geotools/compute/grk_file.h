// The document file of the coordinate tools (*.grk): the current function,
// the shown text, the angle units, the ellipsoid and two stored slot groups.
//
// Layout, little-endian, in this order:
//   "GeoReckon\r\n"                    product word, CR, LF (11 bytes)
//   "1.0\r\n"                          version text, CR, LF
//   int32   current index
//   string  current text: length n as one byte if n < 255, else 0xFF and n
//           as uint16 if n < 0xFFFE, else 0xFF, 0xFFFF and n as uint32;
//           then n bytes of CP936 text, no terminator
//   int32   input unit, int32 output unit
//   7 doubles spatial slots, 4 doubles plane slots
//   doubles a, f, b, e2 (f before b), int32 ellipsoid type
// A new document is 153 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "geotools/compute/angle_unit.h"
#include "geotools/compute/ellipsoid.h"

namespace georeckon {

struct GrkDocument {
  std::string version = "1.0";  // written; reading leaves it as it is
  int32_t currentIndex = -1;    // function last selected in the list, -1 none
  std::string currentText;      // UTF-8
  int32_t inputUnit = kPackedDms;
  int32_t outputUnit = kPackedDms;
  std::array<double, 7> spatialSlots{};
  std::array<double, 4> planeSlots{};
  EllipsoidParams ellipsoid;  // WGS84

  bool operator==(const GrkDocument&) const = default;
};

std::string SerializeGrk(const GrkDocument& doc);

// Saves atomically; false with *error set when the file cannot be written.
bool SaveGrkFile(const std::string& path, const GrkDocument& doc, std::string* error);

enum class GrkStatus {
  kOk,
  kOpenFailed,  // "打开文件错误!"
  kNotGrk,      // first line is not the product word: "It's not the file type for GeoReckon!"
  kDamaged,     // ends early or holds impossible values: "文件已损坏，无法读取！"
};

struct GrkReadResult {
  GrkStatus status = GrkStatus::kOk;
  size_t offset = 0;   // where reading stopped (kDamaged)
  std::string detail;  // what was wrong there
};

// Reads a document. The first line (up to LF or CR; a CR also takes the LF
// after it) must be "GeoReckon" in any letter case; the second line is read
// and ignored. The document is changed only when the whole file reads
// (except `version`, which reading never changes). Files whose units are not
// 0..2, whose current index is outside -1..9 or whose ellipsoid cannot be
// computed with are refused as damaged.
GrkReadResult ParseGrk(std::string_view bytes, GrkDocument* doc);
GrkReadResult LoadGrkFile(const std::string& path, GrkDocument* doc);

}  // namespace georeckon
