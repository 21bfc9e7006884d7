#include "geotools/compute/grk_file.h"

#include <cstring>
#include <new>

#include "common/atomic_file.h"
#include "common/cp936.h"

namespace georeckon {

namespace {

void PutBytes(std::string* out, const void* p, size_t n) {
  out->append(static_cast<const char*>(p), n);
}

// The host is little-endian like the file (x86-64, AArch64); the
// static_assert keeps it so.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the file layout is little-endian");

template <typename T>
void Put(std::string* out, T value) {
  PutBytes(out, &value, sizeof value);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  // A text line up to LF or CR; a CR also takes the LF after it. The last
  // line may end with the data.
  std::string_view Line() {
    const size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
    const std::string_view line = bytes_.substr(start, pos_ - start);
    if (pos_ < bytes_.size()) {
      const bool cr = bytes_[pos_] == '\r';
      ++pos_;
      if (cr && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    }
    return line;
  }

  template <typename T>
  bool Get(T* value, const char* what) {
    if (bytes_.size() - pos_ < sizeof(T)) return Fail(std::string("the file ends in ") + what);
    std::memcpy(value, bytes_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }

  bool String(std::string* out, const char* what) {
    uint8_t b;
    if (!Get(&b, what)) return false;
    uint64_t n = b;
    if (b == 0xFF) {
      uint16_t w;
      if (!Get(&w, what)) return false;
      n = w;
      if (w == 0xFFFE) return Fail("a wide-character text, which this file type never holds");
      if (w == 0xFFFF) {
        uint32_t d;
        if (!Get(&d, what)) return false;
        n = d;
      }
    }
    if (bytes_.size() - pos_ < n) return Fail(std::string("the file ends in ") + what);
    out->assign(bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return true;
  }

  bool Fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
    return false;
  }

  size_t pos() const { return pos_; }
  const std::string& failure() const { return failure_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  std::string failure_;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string SerializeGrk(const GrkDocument& doc) {
  std::string out = "GeoReckon\r\n";
  out += doc.version;
  out += "\r\n";
  Put<int32_t>(&out, doc.currentIndex);
  std::string text = common::Utf8ToStoredText(doc.currentText);
  if (text.size() > 0xFFFFFFFFu) text.resize(0xFFFFFFFFu);
  const size_t n = text.size();
  if (n < 255) {
    Put<uint8_t>(&out, static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    Put<uint8_t>(&out, 0xFF);
    Put<uint16_t>(&out, static_cast<uint16_t>(n));
  } else {
    Put<uint8_t>(&out, 0xFF);
    Put<uint16_t>(&out, 0xFFFF);
    Put<uint32_t>(&out, static_cast<uint32_t>(n));
  }
  out += text;
  Put<int32_t>(&out, doc.inputUnit);
  Put<int32_t>(&out, doc.outputUnit);
  for (double v : doc.spatialSlots) Put<double>(&out, v);
  for (double v : doc.planeSlots) Put<double>(&out, v);
  Put<double>(&out, doc.ellipsoid.a);
  Put<double>(&out, doc.ellipsoid.f);
  Put<double>(&out, doc.ellipsoid.b);
  Put<double>(&out, doc.ellipsoid.e2);
  Put<int32_t>(&out, doc.ellipsoid.type);
  return out;
}

bool SaveGrkFile(const std::string& path, const GrkDocument& doc, std::string* error) {
  return common::SaveFileAtomically(path, SerializeGrk(doc), error);
}

GrkReadResult ParseGrk(std::string_view bytes, GrkDocument* doc) {
  GrkReadResult result;
  Reader r(bytes);
  if (!EqualsIgnoringCase(r.Line(), "GeoReckon")) {
    result.status = GrkStatus::kNotGrk;
    return result;
  }
  r.Line();  // version, not checked

  GrkDocument d = *doc;
  std::string text;
  bool ok = r.Get(&d.currentIndex, "the current index") && r.String(&text, "the current text") &&
            r.Get(&d.inputUnit, "the input unit") && r.Get(&d.outputUnit, "the output unit");
  for (double& v : d.spatialSlots) ok = ok && r.Get(&v, "the spatial slots");
  for (double& v : d.planeSlots) ok = ok && r.Get(&v, "the plane slots");
  ok = ok && r.Get(&d.ellipsoid.a, "the ellipsoid") && r.Get(&d.ellipsoid.f, "the ellipsoid") &&
       r.Get(&d.ellipsoid.b, "the ellipsoid") && r.Get(&d.ellipsoid.e2, "the ellipsoid") &&
       r.Get(&d.ellipsoid.type, "the ellipsoid type");
  if (ok && !IsAngleUnit(d.inputUnit)) ok = r.Fail("an input unit other than 0, 1 or 2");
  if (ok && !IsAngleUnit(d.outputUnit)) ok = r.Fail("an output unit other than 0, 1 or 2");
  if (ok && (d.currentIndex < -1 || d.currentIndex > 9)) ok = r.Fail("a function index outside -1..9");
  if (ok && !IsUsableEllipsoid(d.ellipsoid)) ok = r.Fail("an impossible ellipsoid");
  if (!ok) {
    result.status = GrkStatus::kDamaged;
    result.offset = r.pos();
    result.detail = "at byte " + std::to_string(r.pos()) + ": " + r.failure();
    return result;
  }
  d.currentText = common::StoredTextToUtf8(text);
  d.version = doc->version;
  *doc = d;
  return result;
}

GrkReadResult LoadGrkFile(const std::string& path, GrkDocument* doc) {
  GrkReadResult result;
  try {
    std::string bytes, error;
    if (!common::ReadWholeFile(path, &bytes, &error)) {
      result.status = GrkStatus::kOpenFailed;
      result.detail = error;
      return result;
    }
    result = ParseGrk(bytes, doc);
    if (result.status == GrkStatus::kDamaged) result.detail = path + " " + result.detail;
  } catch (const std::bad_alloc&) {
    result.status = GrkStatus::kOpenFailed;
    result.detail = "not enough memory to read " + path;
  }
  return result;
}

}  // namespace georeckon
