// The vector symbol library of the plan map: the symbols that map features
// draw, read from the binary library file (Vistamet.pdx) that ships beside
// the program, and the readable text source the build compiles it from.
//
// The binary file, little-endian, no header and no padding:
//   uint32 symbol count S
//   S times: uint32 element count E, float32 scale, float32 offset x, y, z,
//            E times: int32 kind, float32 p1..p6            (28 bytes each)
// Element kinds: 1 line (start p1..p3, end p4..p6); 2 arc (centre p1..p3,
// start and end angle p4, p5 in radians, counter-clockwise, radius p6);
// 3 circle (centre p1..p3, radius p6, filled with white); 4 disc (as a
// circle, filled with the drawing colour). Other kinds are skipped when
// drawing. Symbol coordinates are symbol units with y up.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "measure/model/draw_sink.h"

namespace vistamet {

enum SymbolKind : int32_t {
  kSymbolLine = 1,
  kSymbolArc = 2,
  kSymbolCircle = 3,
  kSymbolDisc = 4,
};

struct SymbolElement {
  int32_t kind = 0;
  std::array<float, 6> p{};
};

struct VectorSymbol {
  std::vector<SymbolElement> elements;
  float scale = 1.0f;                    // the symbol's own size factor
  std::array<float, 3> offset{};         // added to every element point
  std::string name;                      // from the text source only; not on file
};

// Symbols addressed by type 1..Count(); type 0 is none.
struct SymbolLibrary {
  std::vector<VectorSymbol> symbols;

  int Count() const { return static_cast<int>(symbols.size()); }
  // The symbol of `type`, or null when the type is out of range or the
  // symbol has no elements (nothing is drawn for it).
  const VectorSymbol* Drawable(int type) const;
};

// Each element is 28 bytes on file; a symbol's header 20 bytes.
inline constexpr size_t kPdxElementBytes = 28;
inline constexpr size_t kPdxSymbolHeaderBytes = 20;

// Reads the bytes of a library file. Every count is checked against the
// bytes that remain, so a cut or hostile file is refused before anything is
// allocated for it; *error then says at which byte and why. Trailing bytes
// after the last symbol are refused as well. 1 on success, 0 on failure
// (the library is then left empty).
int ReadPdxBytes(std::string_view bytes, SymbolLibrary* library, std::string* error);
// The same from a file; the error names the file.
int LoadPdxFile(const std::string& path, SymbolLibrary* library, std::string* error);
// The file bytes of `library` (names are not stored).
std::string WritePdxBytes(const SymbolLibrary& library);

// The library file's name, and where a program in `program_dir` looks for
// it, in order: beside the program, then in the installed data folder.
inline constexpr char kSymbolLibraryFile[] = "Vistamet.pdx";
std::vector<std::string> SymbolLibraryPlaces(const std::string& program_dir);

// Parses the readable source of the library. Lines:
//   # comment                          (and blank lines)
//   symbol NAME...                     starts the next symbol (type 1, 2, ...)
//   scale S                            the symbol's size factor (default 1)
//   offset X Y [Z]                     the symbol's offset (default 0)
//   line X1 Y1 X2 Y2                   a segment
//   polyline X1 Y1 X2 Y2 ...           consecutive segments (closed when
//                                      the last point repeats the first)
//   arc CX CY R START END              degrees, counter-clockwise
//   circle CX CY R                     white-filled circle
//   disc CX CY R                       circle filled with the colour
//   end                                ends the symbol
// 1 on success; 0 with *error naming the line and what is wrong.
int ParseSymbolSource(std::string_view text, SymbolLibrary* library, std::string* error);

// Where one symbol is drawn: anchor in sink units (y up), size s in sink
// units per symbol unit (not above 0 becomes 0.0001), rotation in radians
// about x, y and z, line width in sink units (rounded, at least 1), colour
// 0x00BBGGRR. Points are rounded to whole sink units, as on a device.
struct SymbolPlacement {
  double ax = 0, ay = 0;
  double rx = 0, ry = 0, rz = 0;
  double size = 1.0;
  double lineWidth = 1.0;
  uint32_t colour = 0x0000FF;
};

// Draws `symbol` into `sink`; 0 (nothing drawn) when it has no elements.
int DrawSymbol(const VectorSymbol& symbol, const SymbolPlacement& at, DrawSink& sink);

}  // namespace vistamet
