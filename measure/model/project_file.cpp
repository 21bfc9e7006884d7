#include "measure/model/project_file.h"

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "common/little_endian.h"
#include "common/strformat.h"
#include "measure/model/photo_file.h"
#include "measure/records/texts.h"

namespace vistamet {

namespace {

constexpr size_t kImagePointBytes = 44;
constexpr size_t kSpacePointBytes = 60;
constexpr size_t kPhotoParamsBytes = 176;
constexpr size_t kFeatureBytes = 36;

// Byte-wise comparison: the shorter string orders first when it is a prefix.
bool VersionAfter(std::string_view version, std::string_view than) {
  return version.compare(than) > 0;
}

// --- Writing ---

class Writer {
 public:
  void Line(std::string_view text) {
    out_.append(text);
    out_.push_back('\n');
  }
  void IntLine(int32_t v) { Line(common::StrFormat("%d", v)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U32(uint32_t v) {
    for (int k = 0; k < 4; ++k) out_.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
  }
  void F64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int k = 0; k < 8; ++k) out_.push_back(static_cast<char>((bits >> (8 * k)) & 0xFF));
  }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  void Point(const ImagePoint& p) {
    F64(p.x);
    F64(p.y);
    F64(p.weightX);
    F64(p.weightY);
    I32(p.matchState);
    I32(p.photoIndex);
    I32(p.pointNumber);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// A title is one line: line breaks become blanks so the file reads back.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// --- Reading ---

class Reader : public common::ByteReader {
 public:
  explicit Reader(std::string_view bytes) : ByteReader(bytes) {}

  // Bytes up to the first LF or CR; after a CR the next byte is consumed
  // too and kept as the last character unless it is LF. Empty at the end.
  std::string Line() {
    std::string line;
    while (pos_ < data_.size()) {
      const char c = data_[pos_++];
      if (c == '\n') break;
      if (c == '\r') {
        if (pos_ < data_.size()) {
          const char next = data_[pos_++];
          if (next != '\n') line.push_back(next);
        }
        break;
      }
      line.push_back(c);
    }
    return line;
  }

  // Leading white space, optional sign, decimal digits; anything else ends
  // the number; no digits give 0. Values beyond 32 bits saturate.
  int32_t IntLine() {
    const std::string line = Line();
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    int64_t value = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
      value = value * 10 + (line[i++] - '0');
      if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
  }

  bool Point(ImagePoint* p) {
    return F64(&p->x) && F64(&p->y) && F64(&p->weightX) && F64(&p->weightY) &&
           I32(&p->matchState) && I32(&p->photoIndex) && I32(&p->pointNumber);
  }
};

LoadResult Unreadable(const std::string& path, const std::string& why) {
  LoadResult r;
  r.status = LoadStatus::kUnreadable;
  r.message = common::StrFormat(text::kFileUnreadable, path.c_str(), why.c_str());
  return r;
}

// Checks that `count` records of `size` bytes can still be read.
bool Fits(int64_t count, size_t size, const Reader& in) {
  return count >= 0 && static_cast<uint64_t>(count) <= in.Remaining() / size;
}

// The photo path as stored, or the same file name in the project's folder
// when the stored path does not exist (projects move between machines).
std::string ResolvePhotoPath(const std::string& stored, const std::string& project_path) {
  if (common::FileExists(stored)) return stored;
  const std::string dir = common::DirName(project_path);
  const std::string name = common::BaseName(stored);
  if (name.empty()) return stored;
  const std::string candidate = (dir.empty() ? std::string() : dir + "/") + name;
  return common::FileExists(candidate) ? candidate : stored;
}

// Reads the bytes of a project file into a document, block by block in file
// order. Each step returns false once the file is refused; result() then
// says why (and otherwise carries the file's version).
class ProjectReader {
 public:
  ProjectReader(std::string_view bytes, const std::string& project_path, CVistametDoc* doc)
      : in_(bytes), path_(project_path), doc_(doc) {}

  const LoadResult& result() const { return result_; }

  bool Header();            // the format lines, the signature and the version
  bool Settings();          // options and view state, one line each
  bool Photos();            // count, paths (each photo decoded), parameters
  bool ImagePoints();
  bool SpacePoints();
  bool Distances();
  bool Features();          // map features and the plane point (after 1.0)
  bool AdjustmentOptions(); // tolerances (after 1.1), control weight (after 1.21)
  bool AdjustedPoints();    // (after 1.2)
  // Refuses records on photos that do not exist; puts currentPhoto in range.
  bool CheckPhotoIndices();
  // Refuses image points that are not numbers or lie far outside any photo,
  // and records that break the document's rules.
  bool CheckRecords();

 private:
  bool Fail(const std::string& why) {
    result_ = Unreadable(path_, why);
    return false;
  }

  Reader in_;
  const std::string& path_;
  CVistametDoc* doc_;
  LoadResult result_;
  std::string version_;
};

bool ProjectReader::Header() {
  if (in_.Line() != "1.0" || in_.Line() != "1.0") {
    result_.status = LoadStatus::kNotOurFormat;
    result_.message = text::kNotOurFormat;
    return false;
  }
  const std::string signature = in_.Line();
  version_ = in_.Line();
  result_.version = version_;
  if (VersionAfter(version_, "1.23") && signature != "Vistamet") {
    result_.status = LoadStatus::kNotVistamet;
    result_.message = text::kNotVistametDocument;
    return false;
  }
  return true;
}

bool ProjectReader::Settings() {
  doc_->options.bCleanPoints = in_.IntLine();
  doc_->options.bLmsFeature = in_.IntLine();
  doc_->options.bKeepMinRms = in_.IntLine();
  doc_->mapShowTime = in_.IntLine();
  doc_->mapTitle = common::StoredTextToUtf8(in_.Line());
  doc_->mapScale = in_.IntLine();
  if (doc_->mapScale <= 0) doc_->mapScale = 100;  // a scale 1:0 or below means nothing
  doc_->planeSet = in_.IntLine();
  doc_->listMode = in_.IntLine();
  doc_->adjusted = in_.IntLine();
  doc_->targetsExtracted = in_.IntLine();
  doc_->currentPhoto = in_.IntLine();
  doc_->viewMode = in_.IntLine();
  doc_->bShowAdjusted = in_.IntLine();
  doc_->bShowDistances = in_.IntLine();
  doc_->listWindowOn = in_.IntLine();
  // Every settings line must be there; the file may end after them.
  if (in_.AtEnd()) return Fail("文件在设置中结束");
  doc_->bAutoPlaneTrans = in_.IntLine();
  return true;
}

bool ProjectReader::Photos() {
  // At the end of the file the count reads as an empty line, 0: an old
  // file that ends after its settings is a project without photos.
  const int32_t n = in_.IntLine();
  if (n <= 0) return true;
  // Every photo takes at least a line end and its parameter record.
  if (!Fits(n, kPhotoParamsBytes + 1, in_))
    return Fail(common::StrFormat("文件不能容纳 %d 幅图像", n));
  doc_->photoPaths.clear();
  doc_->photoImages.clear();
  for (int32_t i = 0; i < n && !in_.AtEnd(); ++i) {
    const std::string stored = common::StoredTextToUtf8(in_.Line());
    const std::string path = ResolvePhotoPath(stored, path_);
    // Headers only: the pixels are decoded when something needs them.
    PhotoInfo info;
    std::string why;
    if (!ProbePhotoFile(path, &info, &why)) {
      result_.status = LoadStatus::kPhotoMissing;
      result_.message = stored + text::kPhotoMissingSuffix;
      // A path that is there but is no photo we read says what is wrong.
      if (::access(path.c_str(), F_OK) == 0) result_.message += "\n" + why;
      return false;
    }
    doc_->photoImages.push_back(PhotoHeader(info));
    doc_->photoPaths.push_back(path);
  }
  if (static_cast<int32_t>(doc_->photoPaths.size()) != n || !Fits(n, kPhotoParamsBytes, in_))
    return Fail("文件在图像参数中结束");
  doc_->photoParams.assign(static_cast<size_t>(n), PhotoParams{});
  for (PhotoParams& pp : doc_->photoParams)
    for (int k = 0; k < PhotoParams::kCount; ++k) {
      double v = 0;
      in_.F64(&v);
      pp.Set(k, v);
    }
  return true;
}

bool ProjectReader::ImagePoints() {
  const int32_t m = in_.IntLine();
  if (!Fits(m, kImagePointBytes, in_)) return Fail(common::StrFormat("图像点数目 %d 不符", m));
  doc_->imagePoints.assign(static_cast<size_t>(m), ImagePoint{});
  for (ImagePoint& p : doc_->imagePoints) in_.Point(&p);
  return true;
}

bool ProjectReader::SpacePoints() {
  const int32_t s = in_.IntLine();
  if (!Fits(s, kSpacePointBytes, in_)) return Fail(common::StrFormat("空间点数目 %d 不符", s));
  doc_->spacePoints.assign(static_cast<size_t>(s), SpacePoint{});
  for (SpacePoint& p : doc_->spacePoints) {
    in_.F64(&p.X);
    in_.F64(&p.Y);
    in_.F64(&p.Z);
    in_.I32(&p.pointNumber);
    in_.I32(&p.controlFlag);
    in_.I32(&p.rayCount);
    in_.F64(&p.aux1);
    in_.F64(&p.aux2);
    in_.F64(&p.aux3);
  }
  return true;
}

bool ProjectReader::Distances() {
  const int32_t d = in_.IntLine();
  if (!Fits(d, 4, in_) || d % 2 != 0) return Fail(common::StrFormat("距离数目 %d 不符", d));
  doc_->distancePairs.assign(static_cast<size_t>(d), 0);
  for (int32_t& v : doc_->distancePairs) in_.I32(&v);
  return true;
}

bool ProjectReader::Features() {
  if (!VersionAfter(version_, "1.0")) return true;
  int32_t f = 0;
  if (!in_.I32(&f) || !Fits(f, kFeatureBytes, in_))
    return Fail(common::StrFormat("地物数目 %d 不符", f));
  doc_->mapFeatures.assign(static_cast<size_t>(f), MapFeature{});
  for (MapFeature& ft : doc_->mapFeatures) {
    in_.I32(&ft.pointNumber);
    in_.I32(&ft.symbolType);
    in_.F32(&ft.scale);
    in_.F32(&ft.rotation);
    in_.F32(&ft.lineWidth);
    in_.U32(&ft.colour);
    in_.I32(&ft.X);
    in_.I32(&ft.Y);
    in_.I32(&ft.Z);
  }
  if (!in_.I32(&doc_->planePoint) || !in_.I32(&doc_->reserved1) || !in_.I32(&doc_->reserved2))
    return Fail("文件在投影面点之前结束");
  return true;
}

bool ProjectReader::AdjustmentOptions() {
  if (VersionAfter(version_, "1.1") &&
      (!in_.F64(&doc_->options.dAngleTol) || !in_.F64(&doc_->options.dCoordTol) || !in_.I32(&doc_->options.nMaxIter)))
    return Fail("文件在平差选项中结束");
  if (VersionAfter(version_, "1.21") && !in_.F64(&doc_->options.dControlWeight))
    return Fail("文件在控制点权中结束");
  for (std::string& note : ClampAdjustmentOptions(&doc_->options))
    result_.notes.push_back(path_ + ": " + note);
  return true;
}

bool ProjectReader::AdjustedPoints() {
  if (!VersionAfter(version_, "1.2")) return true;
  int32_t a = 0;
  if (!in_.I32(&a) || !Fits(a, kImagePointBytes, in_))
    return Fail(common::StrFormat("平差点数目 %d 不符", a));
  doc_->adjustedPoints.assign(static_cast<size_t>(a), ImagePoint{});
  for (ImagePoint& p : doc_->adjustedPoints) in_.Point(&p);
  return true;
}

// Records that point at photos that do not exist would make every view and
// computation index out of range: such a file is damaged.
bool ProjectReader::CheckPhotoIndices() {
  const int photos = doc_->PhotoCount();
  for (const ImagePoint& p : doc_->imagePoints)
    if (p.photoIndex < 0 || p.photoIndex >= photos)
      return Fail(common::StrFormat("图像点的相片编号 %d 无效", p.photoIndex));
  for (const ImagePoint& p : doc_->adjustedPoints)
    if (p.photoIndex < 0 || p.photoIndex >= photos)
      return Fail(common::StrFormat("平差点的相片编号 %d 无效", p.photoIndex));
  if (doc_->currentPhoto < 0 || doc_->currentPhoto >= photos) doc_->currentPhoto = 0;
  return true;
}

// Beyond this many pixels from the origin an image point lies far outside
// any photo: the adjustment's angles and sums of squares would lose all
// meaning or overflow.
constexpr double kMaxImageCoordinate = 1e6;

bool ProjectReader::CheckRecords() {
  for (size_t i = 0; i < doc_->imagePoints.size(); ++i) {
    const ImagePoint& p = doc_->imagePoints[i];
    if (!(std::fabs(p.x) <= kMaxImageCoordinate && std::fabs(p.y) <= kMaxImageCoordinate))
      return Fail(common::StrFormat("图像点 %zu 的坐标 (%g, %g) 远在相片之外", i + 1, p.x, p.y));
    if (!std::isfinite(p.weightX) || !std::isfinite(p.weightY))
      return Fail(common::StrFormat("图像点 %zu 的权不是有限数", i + 1));
  }
  const std::string broken = FindBrokenInvariant(*doc_);
  if (!broken.empty()) return Fail(broken);
  return true;
}

}  // namespace

std::string WriteProjectBytes(const CVistametDoc& doc) {
  Writer w;
  w.Line("1.0");
  w.Line("1.0");
  w.Line("Vistamet");
  w.Line(doc.strVersion);
  w.IntLine(doc.options.bCleanPoints);
  w.IntLine(doc.options.bLmsFeature);
  w.IntLine(doc.options.bKeepMinRms);
  w.IntLine(doc.mapShowTime);
  w.Line(common::Utf8ToStoredText(OneLine(doc.mapTitle)));
  w.IntLine(doc.mapScale);
  w.IntLine(doc.planeSet);
  w.IntLine(doc.listMode);
  w.IntLine(doc.adjusted);
  w.IntLine(doc.targetsExtracted);
  w.IntLine(doc.currentPhoto);
  w.IntLine(doc.viewMode);
  w.IntLine(doc.bShowAdjusted);
  w.IntLine(doc.bShowDistances);
  w.IntLine(doc.listWindowOn);
  w.IntLine(doc.bAutoPlaneTrans);
  w.IntLine(static_cast<int32_t>(doc.photoPaths.size()));
  for (const std::string& path : doc.photoPaths) w.Line(common::Utf8ToStoredText(OneLine(path)));
  for (const PhotoParams& pp : doc.photoParams)
    for (int k = 0; k < PhotoParams::kCount; ++k) w.F64(pp.Get(k));
  w.IntLine(static_cast<int32_t>(doc.imagePoints.size()));
  for (const ImagePoint& p : doc.imagePoints) w.Point(p);
  w.IntLine(static_cast<int32_t>(doc.spacePoints.size()));
  for (const SpacePoint& s : doc.spacePoints) {
    w.F64(s.X);
    w.F64(s.Y);
    w.F64(s.Z);
    w.I32(s.pointNumber);
    w.I32(s.controlFlag);
    w.I32(s.rayCount);
    w.F64(s.aux1);
    w.F64(s.aux2);
    w.F64(s.aux3);
  }
  w.IntLine(static_cast<int32_t>(doc.distancePairs.size()));
  for (int32_t n : doc.distancePairs) w.I32(n);
  w.I32(static_cast<int32_t>(doc.mapFeatures.size()));
  for (const MapFeature& f : doc.mapFeatures) {
    w.I32(f.pointNumber);
    w.I32(f.symbolType);
    w.F32(f.scale);
    w.F32(f.rotation);
    w.F32(f.lineWidth);
    w.U32(f.colour);
    w.I32(f.X);
    w.I32(f.Y);
    w.I32(f.Z);
  }
  w.I32(doc.planePoint);
  w.I32(doc.reserved1);
  w.I32(doc.reserved2);
  w.F64(doc.options.dAngleTol);
  w.F64(doc.options.dCoordTol);
  w.I32(doc.options.nMaxIter);
  w.F64(doc.options.dControlWeight);
  w.I32(static_cast<int32_t>(doc.adjustedPoints.size()));
  for (const ImagePoint& p : doc.adjustedPoints) w.Point(p);
  return w.Take();
}

int SaveProjectFile(const CVistametDoc& doc, const std::string& path, std::string* message) {
  std::string error;
  if (common::SaveFileAtomically(path, WriteProjectBytes(doc), &error)) return 1;
  if (message) *message = common::StrFormat(text::kFileUnsaved, path.c_str(), error.c_str());
  return 0;
}

LoadResult ReadProjectBytes(std::string_view bytes, const std::string& project_path,
                            CVistametDoc* doc) {
  ProjectReader r(bytes, project_path, doc);
  // Each step runs only when the ones before it accepted the file; the
  // result says either way.
  [[maybe_unused]] const bool accepted =
      r.Header() && r.Settings() && r.Photos() && r.ImagePoints() && r.SpacePoints() &&
      r.Distances() && r.Features() && r.AdjustmentOptions() && r.AdjustedPoints() &&
      r.CheckPhotoIndices() && r.CheckRecords();
  return r.result();
}

LoadResult LoadProjectFile(const std::string& path, CVistametDoc* doc) {
  std::string bytes, error;
  if (!common::ReadWholeFile(path, &bytes, &error)) {
    LoadResult r;
    r.status = LoadStatus::kCannotOpen;
    r.message = common::StrFormat(text::kFileUnreadable, path.c_str(), error.c_str());
    return r;
  }
  return ReadProjectBytes(bytes, path, doc);
}

}  // namespace vistamet
