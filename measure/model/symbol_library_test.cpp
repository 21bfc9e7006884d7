#include "measure/model/symbol_library.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "measure/records/test_support.h"
#include "measure/model/recording_sink.h"

namespace vistamet {
namespace {

// Little-endian bytes of the library layout, built by hand rather than by
// the writer under test.
class PdxBytes {
 public:
  PdxBytes& U32(uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return *this;
  }
  PdxBytes& F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
  }
  // A symbol header: element count, scale, offset.
  PdxBytes& Symbol(uint32_t elements, float scale = 1.0f) {
    return U32(elements).F32(scale).F32(0).F32(0).F32(0);
  }
  PdxBytes& Element(int32_t kind, std::array<float, 6> p) {
    U32(static_cast<uint32_t>(kind));
    for (float v : p) F32(v);
    return *this;
  }
  std::string bytes;
};

std::string TwoSymbols() {
  return PdxBytes()
      .U32(2)
      .Symbol(2, 0.5f)
      .Element(kSymbolLine, {0, 0, 0, 10, 0, 0})
      .Element(kSymbolCircle, {0, 0, 0, 0, 0, 5})
      .Symbol(1)
      .Element(kSymbolArc, {1, 2, 0, 0, 1.5f, 3})
      .bytes;
}

TEST(PdxReader, ReadsSymbolsElementsAndTheirValues) {
  SymbolLibrary lib;
  std::string error;
  ASSERT_EQ(ReadPdxBytes(TwoSymbols(), &lib, &error), 1) << error;
  ASSERT_EQ(lib.Count(), 2);
  EXPECT_FLOAT_EQ(lib.symbols[0].scale, 0.5f);
  ASSERT_EQ(lib.symbols[0].elements.size(), 2u);
  EXPECT_EQ(lib.symbols[0].elements[1].kind, kSymbolCircle);
  EXPECT_FLOAT_EQ(lib.symbols[0].elements[1].p[5], 5.0f);
  EXPECT_FLOAT_EQ(lib.symbols[1].elements[0].p[4], 1.5f);
  EXPECT_EQ(WritePdxBytes(lib), TwoSymbols());
}

TEST(PdxReader, AnEmptyLibraryLoadsWithoutComplaint) {
  SymbolLibrary lib;
  std::string error;
  EXPECT_EQ(ReadPdxBytes(PdxBytes().U32(0).bytes, &lib, &error), 1);
  EXPECT_EQ(lib.Count(), 0);
}

TEST(PdxReader, EveryTruncationIsRefusedAndLeavesTheLibraryEmpty) {
  const std::string whole = TwoSymbols();
  for (size_t n = 0; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    SymbolLibrary lib;
    lib.symbols.resize(3);  // left over from before: must be cleared
    std::string error;
    EXPECT_EQ(ReadPdxBytes(std::string_view(whole).substr(0, n), &lib, &error), 0);
    EXPECT_EQ(lib.Count(), 0);
    EXPECT_NE(error.find("字节"), std::string::npos) << error;
  }
}

TEST(PdxReader, AbsurdCountsAreRefusedBeforeAllocating) {
  struct Case {
    std::string bytes;
    const char* note;
  } cases[] = {
      {PdxBytes().U32(0xFFFFFFFFu).bytes, "symbol count 2^32-1 in a 4-byte file"},
      {PdxBytes().U32(2).Symbol(1).Element(1, {}).bytes, "second symbol missing"},
      {PdxBytes().U32(1).Symbol(0x7FFFFFFFu).bytes, "element count far beyond the file"},
      {PdxBytes().U32(1).Symbol(2).Element(1, {}).bytes, "one element short"},
      {PdxBytes().U32(1).Symbol(0).U32(7).bytes, "trailing bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    SymbolLibrary lib;
    std::string error;
    EXPECT_EQ(ReadPdxBytes(c.bytes, &lib, &error), 0);
    EXPECT_FALSE(error.empty());
  }
}

TEST(PdxReader, DamagedBytesAreReadOrRefusedNeverMisread) {
  // Every byte of a valid file changed in turn to a few values: the reader
  // either takes the file (a changed value) or refuses it, and what it
  // takes always fits the bytes it was given.
  const std::string whole = TwoSymbols();
  for (size_t at = 0; at < whole.size(); ++at) {
    for (unsigned char v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      std::string bytes = whole;
      bytes[at] = static_cast<char>(v);
      SymbolLibrary lib;
      std::string error;
      if (ReadPdxBytes(bytes, &lib, &error)) {
        size_t need = 4;
        for (const VectorSymbol& s : lib.symbols)
          need += kPdxSymbolHeaderBytes + s.elements.size() * kPdxElementBytes;
        ASSERT_EQ(need, bytes.size()) << at;
      } else {
        ASSERT_EQ(lib.Count(), 0) << at;
        ASSERT_FALSE(error.empty()) << at;
      }
    }
  }
}

TEST(PdxReader, AMissingFileNamesItself) {
  testing::TempDir dir;
  SymbolLibrary lib;
  std::string error;
  EXPECT_EQ(LoadPdxFile(dir.File("none.pdx"), &lib, &error), 0);
  EXPECT_NE(error.find("none.pdx"), std::string::npos) << error;
  ASSERT_TRUE(common::SaveFileAtomically(dir.File("lib.pdx"), TwoSymbols()));
  EXPECT_EQ(LoadPdxFile(dir.File("lib.pdx"), &lib, &error), 1);
  EXPECT_EQ(lib.Count(), 2);
}

TEST(SymbolLibrary, OnlyTypesInRangeWithElementsAreDrawable) {
  SymbolLibrary lib;
  lib.symbols.resize(2);
  lib.symbols[0].elements.push_back({kSymbolLine, {}});
  EXPECT_EQ(lib.Drawable(0), nullptr);
  EXPECT_EQ(lib.Drawable(1), &lib.symbols[0]);
  EXPECT_EQ(lib.Drawable(2), nullptr);  // no elements
  EXPECT_EQ(lib.Drawable(3), nullptr);
  EXPECT_EQ(lib.Drawable(-1), nullptr);
}

TEST(SymbolSource, ParsesEveryKeyword) {
  const char* text =
      "# comment\n"
      "symbol 1 test thing  \n"
      "scale 2\noffset 1 2\n"
      "polyline 0 0 10 0 10 10 0 0\n"
      "arc 0 0 5 0 90  # quarter\n"
      "circle 1 1 2\ndisc 0 0 1\nline 1 2 3 4\nend\n";
  SymbolLibrary lib;
  std::string error;
  ASSERT_EQ(ParseSymbolSource(text, &lib, &error), 1) << error;
  ASSERT_EQ(lib.Count(), 1);
  const VectorSymbol& s = lib.symbols[0];
  EXPECT_EQ(s.name, "1 test thing");
  EXPECT_FLOAT_EQ(s.scale, 2);
  EXPECT_FLOAT_EQ(s.offset[1], 2);
  ASSERT_EQ(s.elements.size(), 7u);  // 3 segments, arc, circle, disc, line
  EXPECT_EQ(s.elements[3].kind, kSymbolArc);
  EXPECT_NEAR(s.elements[3].p[4], 3.14159265 / 2, 1e-6);
  EXPECT_FLOAT_EQ(s.elements[3].p[5], 5);
  EXPECT_EQ(s.elements[5].kind, kSymbolDisc);
}

TEST(SymbolSource, WindowsLineEndsAndAByteOrderMarkAreRead) {
  SymbolLibrary lib;
  std::string error;
  ASSERT_EQ(ParseSymbolSource("\xEF\xBB\xBF# 注释\r\nsymbol 甲\r\ncircle 0 0 1\r\nend\r\n", &lib, &error), 1)
      << error;
  ASSERT_EQ(lib.Count(), 1);
  EXPECT_EQ(lib.symbols[0].name, "甲");
}

TEST(SymbolSource, MistakesAreRefusedWithTheirLine) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"line 0 0 1 1\n", "第 1 行"},
      {"symbol a\nline 0 0 1\nend\n", "第 2 行"},
      {"symbol a\nline 0 0 1 x\nend\n", "第 2 行"},
      {"symbol a\n\ncircle 0 0 -1\nend\n", "第 3 行"},
      {"symbol a\nend\n", "第 2 行"},
      {"symbol a\nline 0 0 1 1\n", "第 3 行"},
      {"symbol a\nline 0 0 1 1\nsymbol b\n", "第 3 行"},
      {"symbol a\nline 0 0 1 nan\nend\n", "第 2 行"},
      {"symbol a\nsquare 1\nend\n", "第 2 行"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SymbolLibrary lib;
    std::string error;
    EXPECT_EQ(ParseSymbolSource(c.text, &lib, &error), 0);
    EXPECT_NE(error.find(c.line), std::string::npos) << error;
    EXPECT_EQ(lib.Count(), 0);
  }
}

TEST(SymbolSource, TheShippedLibraryCompilesWithTheCommonSurveySymbols) {
  std::string text, error;
  ASSERT_TRUE(common::ReadWholeFile(VISTAMET_SYMBOL_SOURCE, &text, &error)) << error;
  SymbolLibrary lib;
  ASSERT_EQ(ParseSymbolSource(text, &lib, &error), 1) << error;
  EXPECT_GE(lib.Count(), 20);
  for (const char* name : {"控制点", "三角点", "水准点", "房角点", "栅栏桩", "电线杆", "路灯",
                           "检修井", "消火栓", "独立树", "高程点", "界址点"}) {
    bool found = false;
    for (const VectorSymbol& s : lib.symbols) found = found || s.name.find(name) != std::string::npos;
    EXPECT_TRUE(found) << name;
  }
  // What the build writes reads back the same.
  SymbolLibrary back;
  ASSERT_EQ(ReadPdxBytes(WritePdxBytes(lib), &back, &error), 1) << error;
  ASSERT_EQ(back.Count(), lib.Count());
  for (int t = 1; t <= lib.Count(); ++t) EXPECT_NE(back.Drawable(t), nullptr) << t;
}

TEST(DrawSymbol, ScalesRotatesAndRoundsAboutTheAnchor) {
  VectorSymbol s;
  s.offset = {1, 0, 0};
  s.elements.push_back({kSymbolLine, {0, 0, 0, 9, 0, 0}});
  RecordingSink sink;
  SymbolPlacement at;
  at.ax = 1000;
  at.ay = -500;
  at.size = 10;
  at.rz = 3.14159265358979 / 2;  // a quarter turn: x becomes y
  at.lineWidth = 9.5;
  ASSERT_EQ(DrawSymbol(s, at, sink), 1);
  ASSERT_EQ(sink.lines.size(), 1u);
  const auto& l = sink.lines[0];
  EXPECT_DOUBLE_EQ(l.x1, 1000);
  EXPECT_DOUBLE_EQ(l.y1, -490);  // (0+1)*10 rotated onto y
  EXPECT_DOUBLE_EQ(l.x2, 1000);
  EXPECT_DOUBLE_EQ(l.y2, -400);
  EXPECT_DOUBLE_EQ(l.width, 10);  // rounded half up
}

TEST(DrawSymbol, ThinLinesAreOneUnitAndEmptySymbolsDrawNothing) {
  VectorSymbol s;
  RecordingSink sink;
  SymbolPlacement at;
  EXPECT_EQ(DrawSymbol(s, at, sink), 0);
  s.elements.push_back({kSymbolCircle, {0, 0, 0, 0, 0, 4}});
  s.elements.push_back({99, {}});  // unknown kinds are skipped
  at.lineWidth = 0.25;  // 0.1 mm at 2.5 pixels per mm
  at.size = 0;          // taken as 0.0001
  EXPECT_EQ(DrawSymbol(s, at, sink), 1);
  ASSERT_EQ(sink.circles.size(), 1u);
  EXPECT_DOUBLE_EQ(sink.circles[0].width, 1);
  EXPECT_NEAR(sink.circles[0].r, 0.0004, 1e-12);
  EXPECT_EQ(sink.lines.size(), 0u);
}

TEST(DrawSymbol, ArcsKeepTheirTurnUnderAMirroringRotation) {
  VectorSymbol s;
  // A quarter arc from 0 to 90 degrees.
  s.elements.push_back({kSymbolArc, {0, 0, 0, 0, 1.5707964f, 100}});
  RecordingSink plain, mirrored;
  SymbolPlacement at;
  DrawSymbol(s, at, plain);
  at.rx = 3.14159265358979;  // turned over: y runs the other way
  DrawSymbol(s, at, mirrored);
  ASSERT_EQ(plain.arcs.size(), 1u);
  ASSERT_EQ(mirrored.arcs.size(), 1u);
  EXPECT_NEAR(plain.arcs[0].a0, 0, 1e-6);
  EXPECT_NEAR(plain.arcs[0].a1, 1.5707963, 1e-6);
  // Turned over about y, x runs the other way: the arc runs from 90 to 180
  // degrees, still a quarter, not three quarters.
  EXPECT_NEAR(mirrored.arcs[0].a0, 1.5707963, 1e-6);
  EXPECT_NEAR(mirrored.arcs[0].a1, 3.1415927, 1e-6);
}

}  // namespace
}  // namespace vistamet
