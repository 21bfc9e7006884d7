#include "measure/model/symbol_library.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/atomic_file.h"
#include "common/little_endian.h"
#include "common/strformat.h"

namespace vistamet {

const VectorSymbol* SymbolLibrary::Drawable(int type) const {
  if (type < 1 || type > Count()) return nullptr;
  const VectorSymbol& s = symbols[static_cast<size_t>(type - 1)];
  return s.elements.empty() ? nullptr : &s;
}

// --- The binary file ---

namespace {

using PdxReader = common::ByteReader;

void PutU32(std::string& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

void PutF32(std::string& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutU32(out, bits);
}

bool Refuse(std::string* error, size_t at, const std::string& why) {
  if (error) *error = common::StrFormat("第 %zu 字节: %s", at, why.c_str());
  return false;
}

bool ReadSymbol(PdxReader& in, VectorSymbol* s, std::string* error) {
  const size_t at = in.Position();
  uint32_t count = 0;
  if (!in.U32(&count) || !in.F32(&s->scale) || !in.F32(&s->offset[0]) ||
      !in.F32(&s->offset[1]) || !in.F32(&s->offset[2]))
    return Refuse(error, at, "符号头不完整");
  if (count > in.Remaining() / kPdxElementBytes)
    return Refuse(error, at, common::StrFormat("元素数目 %u 超出文件长度", count));
  s->elements.resize(count);
  for (SymbolElement& e : s->elements) {
    uint32_t kind = 0;
    in.U32(&kind);
    e.kind = static_cast<int32_t>(kind);
    for (float& p : e.p) in.F32(&p);
  }
  return true;
}

}  // namespace

int ReadPdxBytes(std::string_view bytes, SymbolLibrary* library, std::string* error) {
  library->symbols.clear();
  PdxReader in(bytes);
  uint32_t count = 0;
  if (!in.U32(&count)) return Refuse(error, 0, "缺少符号数目");
  // Every symbol takes at least its header, so a count the remaining bytes
  // cannot hold is refused before anything is allocated for it.
  if (count > in.Remaining() / kPdxSymbolHeaderBytes)
    return Refuse(error, 0, common::StrFormat("符号数目 %u 超出文件长度", count));
  std::vector<VectorSymbol> symbols(count);
  for (VectorSymbol& s : symbols)
    if (!ReadSymbol(in, &s, error)) return 0;
  if (in.Remaining() != 0)
    return Refuse(error, in.Position(), "最后一个符号之后还有多余的数据");
  library->symbols = std::move(symbols);
  return 1;
}

int LoadPdxFile(const std::string& path, SymbolLibrary* library, std::string* error) {
  library->symbols.clear();
  std::string bytes, why;
  if (!common::ReadWholeFile(path, &bytes, &why)) {
    if (error) *error = why;
    return 0;
  }
  if (!ReadPdxBytes(bytes, library, &why)) {
    if (error) *error = path + ": " + why;
    return 0;
  }
  return 1;
}

std::string WritePdxBytes(const SymbolLibrary& library) {
  std::string out;
  PutU32(out, static_cast<uint32_t>(library.symbols.size()));
  for (const VectorSymbol& s : library.symbols) {
    PutU32(out, static_cast<uint32_t>(s.elements.size()));
    PutF32(out, s.scale);
    for (float f : s.offset) PutF32(out, f);
    for (const SymbolElement& e : s.elements) {
      PutU32(out, static_cast<uint32_t>(e.kind));
      for (float p : e.p) PutF32(out, p);
    }
  }
  return out;
}

std::vector<std::string> SymbolLibraryPlaces(const std::string& program_dir) {
  const std::string dir = program_dir.empty() || program_dir.back() == '/' ? program_dir
                                                                           : program_dir + "/";
  return {dir + kSymbolLibraryFile, dir + "../share/vistamet/" + kSymbolLibraryFile};
}

// --- The text source ---

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// The numbers after the keyword; false when one is not a finite number.
bool Numbers(const std::vector<std::string_view>& words, std::vector<float>* out) {
  out->clear();
  for (size_t k = 1; k < words.size(); ++k) {
    double v = 0;
    const char* end = words[k].data() + words[k].size();
    const auto r = std::from_chars(words[k].data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return false;
    out->push_back(static_cast<float>(v));
  }
  return true;
}

SymbolElement Element(int32_t kind, std::array<float, 6> p) {
  SymbolElement e;
  e.kind = kind;
  e.p = p;
  return e;
}

// One drawing line of the source added to `s`; "" or what is wrong.
std::string AddDrawing(std::string_view keyword, const std::vector<float>& v, VectorSymbol* s) {
  if (keyword == "scale") {
    if (v.size() != 1 || !(v[0] > 0)) return "scale 需要一个正数";
    s->scale = v[0];
  } else if (keyword == "offset") {
    if (v.size() != 2 && v.size() != 3) return "offset 需要两个或三个数";
    s->offset = {v[0], v[1], v.size() == 3 ? v[2] : 0.0f};
  } else if (keyword == "line") {
    if (v.size() != 4) return "line 需要四个数";
    s->elements.push_back(Element(kSymbolLine, {v[0], v[1], 0, v[2], v[3], 0}));
  } else if (keyword == "polyline") {
    if (v.size() < 4 || v.size() % 2 != 0) return "polyline 需要至少两个点的坐标";
    for (size_t k = 2; k + 1 < v.size(); k += 2)
      s->elements.push_back(Element(kSymbolLine, {v[k - 2], v[k - 1], 0, v[k], v[k + 1], 0}));
  } else if (keyword == "arc") {
    if (v.size() != 5 || !(v[2] > 0)) return "arc 需要圆心、正的半径和两个角度";
    s->elements.push_back(Element(kSymbolArc, {v[0], v[1], 0, static_cast<float>(v[3] * kDegree),
                                               static_cast<float>(v[4] * kDegree), v[2]}));
  } else if (keyword == "circle" || keyword == "disc") {
    if (v.size() != 3 || !(v[2] > 0)) return std::string(keyword) + " 需要圆心和正的半径";
    s->elements.push_back(
        Element(keyword == "circle" ? kSymbolCircle : kSymbolDisc, {v[0], v[1], 0, 0, 0, v[2]}));
  } else {
    return "未知的关键字 " + std::string(keyword);
  }
  return {};
}

}  // namespace

int ParseSymbolSource(std::string_view text, SymbolLibrary* library, std::string* error) {
  library->symbols.clear();
  std::vector<VectorSymbol> symbols;
  bool open = false;
  int line_no = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = common::StrFormat("第 %d 行: %s", line_no, why.c_str());
    return 0;
  };
  std::vector<float> values;
  // A byte order mark that an editor may put in front of UTF-8 text.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  for (size_t pos = 0; pos <= text.size();) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    const std::string_view key = words[0];
    if (key == "symbol") {
      if (open) return fail("上一个符号没有以 end 结束");
      if (words.size() < 2) return fail("symbol 需要一个名称");
      open = true;
      symbols.emplace_back();
      const size_t name_at = words[1].data() - line.data();
      symbols.back().name = std::string(line.substr(name_at));
      while (!symbols.back().name.empty() &&
             (symbols.back().name.back() == ' ' || symbols.back().name.back() == '\t'))
        symbols.back().name.pop_back();
      continue;
    }
    if (!open) return fail("在 symbol 之外: " + std::string(key));
    if (key == "end") {
      if (words.size() != 1) return fail("end 之后不应有内容");
      if (symbols.back().elements.empty()) return fail("符号没有任何图元");
      open = false;
      continue;
    }
    if (!Numbers(words, &values)) return fail("数字有误");
    if (const std::string why = AddDrawing(key, values, &symbols.back()); !why.empty())
      return fail(why);
  }
  if (open) return fail("文件在符号结束之前结束");
  library->symbols = std::move(symbols);
  return 1;
}

// --- Drawing ---

namespace {

struct SymbolTransform {
  double cx, sx, cy, sy, cz, sz, s;
  std::array<float, 3> offset;
  double ax, ay;

  // The rotated, scaled point before rounding, relative to the anchor.
  void Rotate(double px, double py, double pz, double* x, double* y) const {
    const double a = px + offset[0], b = py + offset[1], c = pz + offset[2];
    *x = s * (a * (cx * cz - sx * sy * sz) - b * (cx * sz + sx * sy * cz) - c * sx * cy);
    *y = s * (a * cy * sz + b * cy * cz - c * sy);
  }
  // The device point: the anchor plus the rounded offset.
  void Apply(double px, double py, double pz, double* x, double* y) const {
    double rx, ry;
    Rotate(px, py, pz, &rx, &ry);
    *x = ax + std::trunc(rx + 0.5);
    *y = ay + std::trunc(ry + 0.5);
  }
  // Whether the transform mirrors the plane (then arcs turn the other way).
  bool Mirrors() const {
    double x1, y1, x2, y2;
    Rotate(1, 0, 0, &x1, &y1);
    Rotate(0, 1, 0, &x2, &y2);
    return x1 * y2 - y1 * x2 < 0;
  }
};

}  // namespace

int DrawSymbol(const VectorSymbol& symbol, const SymbolPlacement& at, DrawSink& sink) {
  if (symbol.elements.empty()) return 0;
  const double s = at.size > 0 ? at.size : 0.0001;
  const double width = std::max(1.0, std::trunc(at.lineWidth + 0.5));
  const SymbolTransform t{std::cos(at.rx), std::sin(at.rx), std::cos(at.ry), std::sin(at.ry),
                          std::cos(at.rz), std::sin(at.rz), s, symbol.offset, at.ax, at.ay};
  const bool mirrored = t.Mirrors();
  for (const SymbolElement& e : symbol.elements) {
    const auto& p = e.p;
    double x1, y1, x2, y2;
    switch (e.kind) {
      case kSymbolLine:
        t.Apply(p[0], p[1], p[2], &x1, &y1);
        t.Apply(p[3], p[4], p[5], &x2, &y2);
        sink.Line(x1, y1, x2, y2, width, at.colour);
        break;
      case kSymbolArc: {
        double cx, cy, sx_, sy_, ex, ey;
        t.Apply(p[0], p[1], p[2], &cx, &cy);
        t.Apply(p[0] + p[5] * std::cos(p[3]), p[1] + p[5] * std::sin(p[3]), p[2], &sx_, &sy_);
        t.Apply(p[0] + p[5] * std::cos(p[4]), p[1] + p[5] * std::sin(p[4]), p[2], &ex, &ey);
        double a0 = std::atan2(sy_ - cy, sx_ - cx), a1 = std::atan2(ey - cy, ex - cx);
        if (mirrored) std::swap(a0, a1);
        sink.Arc(cx, cy, s * p[5], a0, a1, width, at.colour);
        break;
      }
      case kSymbolCircle:
      case kSymbolDisc:
        t.Apply(p[0], p[1], p[2], &x1, &y1);
        sink.Circle(x1, y1, s * p[5], width, at.colour,
                    e.kind == kSymbolCircle ? Fill::kWhite : Fill::kColour);
        break;
      default:
        break;  // unknown kinds are skipped
    }
  }
  return 1;
}

}  // namespace vistamet
