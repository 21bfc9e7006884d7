#include "geotools/compute/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "common/scan_line.h"
#include "geotools/compute/cartesian.h"
#include "geotools/compute/gauss_exact.h"
#include "geotools/compute/geodesic.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/plane_problem.h"
#include "geotools/compute/text_lines.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace {

constexpr BatchFunctionInfo kFunctions[kBatchFunctionCount] = {
    {BatchFunction::kBlhToXyz, "blh2xyz", "BLH-->XYZ", "%s %lf %lf %lf", 4, 6,
     "name B L H  (B, L in the input unit; H metres)", "name X Y Z"},
    {BatchFunction::kXyzToBlh, "xyz2blh", "XYZ-->BLH", "%s %lf %lf %lf", 4, 6, "name X Y Z",
     "name B L H  (B, L in the output unit)"},
    {BatchFunction::kGeodeticInverse, "geo-inverse", "BL-->SA", "%lf %lf %lf %lf", 4, 6,
     "B1 L1 B2 L2  (input unit)", "S A  (S metres, A in the output unit)"},
    {BatchFunction::kGeodeticDirect, "geo-direct", "SA-->BL", "%lf %lf %lf %lf", 4, 6,
     "B1 L1 S A1  (angles in the input unit, S metres)", "B2 L2  (output unit)"},
    {BatchFunction::kPlaneInverse, "plane-inverse", "xy-->SA", "%lf %lf %lf %lf", 4, 6,
     "x1 y1 x2 y2  (metres)", "S A  (A in the output unit)"},
    {BatchFunction::kPlaneDirect, "plane-direct", "SA-->xy", "%lf %lf %lf %lf", 4, 6,
     "x1 y1 S A  (A in the input unit)", "x2 y2"},
    {BatchFunction::kGaussForward, "gauss-forward", "BLH-->xyh", "%s %lf %lf %lf", 4, 6,
     "name B L H  (B, L in the input unit)", "name x y h"},
    {BatchFunction::kGaussInverse, "gauss-inverse", "xyh-->BLH", "%s %lf %lf %lf", 4, 6,
     "name x y h", "name B L h  (B, L in the output unit)"},
    {BatchFunction::kZoneChange, "zone-change", "计算", "%s %lf %lf %lf", 4, 6,
     "name x y h  (zone of --l0)", "name x y h  (zone of --l0-2)"},
    {BatchFunction::kSevenApply, "seven-apply", "转换", "%s %lf %lf %lf", 4, 6, "name X Y Z",
     "name X' Y' Z'"},
    {BatchFunction::kFourApply, "four-apply", "转换", "%s %lf %lf", 3, 6, "name x y",
     "name x' y'"},
};

enum class Outcome { kWritten, kSkipped, kFailed };

// The full-width comma: U+FF0C in UTF-8 and in code page 936.
constexpr std::string_view kFullWidthCommaUtf8 = "\xEF\xBC\x8C";

// Where the next separator of `line` starts at or after `from`, and its
// length; npos when there is none. A comma separator also matches the
// full-width comma, found character by character so that it is never taken
// from the middle of another character.
size_t FindSeparator(std::string_view line, size_t from, FieldSeparator sep, bool utf8,
                     size_t* length) {
  const char wanted = sep == FieldSeparator::kSemicolon ? ';' : ',';
  for (size_t i = from; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == static_cast<unsigned char>(wanted)) {
      *length = 1;
      return i;
    }
    if (c < 0x80) continue;
    if (utf8) {
      if (sep == FieldSeparator::kComma && line.substr(i, 3) == kFullWidthCommaUtf8) {
        *length = 3;
        return i;
      }
    } else if (i + 1 < line.size()) {
      if (sep == FieldSeparator::kComma && c == 0xA3 &&
          static_cast<unsigned char>(line[i + 1]) == 0xAC) {
        *length = 2;
        return i;
      }
      ++i;  // the second byte of a double-byte character
    }
  }
  return std::string_view::npos;
}

bool HasSeparator(std::string_view line, FieldSeparator sep) {
  size_t length = 0;
  return FindSeparator(line, 0, sep, common::IsValidUtf8(line), &length) !=
         std::string_view::npos;
}

// Reads up to `want` fields of a separated line: the first one as text when
// `named`, the others as numbers that fill their field. Returns how many
// were read before the first that could not be (as scanf counts).
int ReadSeparatedFields(std::string_view line, FieldSeparator sep, bool named,
                        common::ScanField* f, int want) {
  const bool utf8 = common::IsValidUtf8(line);
  size_t pos = 0;
  for (int i = 0; i < want; ++i) {
    if (pos > line.size()) return i;
    size_t length = 0;
    size_t end = FindSeparator(line, pos, sep, utf8, &length);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view field = common::TrimSpace(line.substr(pos, end - pos));
    pos = end + (length ? length : 1);
    if (field.empty()) return i;
    if (named && i == 0) {
      f[i].text = field;
      continue;
    }
    size_t used = 0;
    if (!common::ScanDouble(field, &used, &f[i].number) || used != field.size()) return i;
  }
  return want;
}

// Converts single lines for one run; everything that depends only on the
// settings is prepared once.
class LineConverter {
 public:
  LineConverter(BatchFunction function, const BatchSettings& settings)
      : info_(BatchInfo(function)), s_(settings) {
    ex_ = s_.seven.thetaX * kRadiansPerArcSecond;
    ey_ = s_.seven.thetaY * kRadiansPerArcSecond;
    ez_ = s_.seven.thetaZ * kRadiansPerArcSecond;
    theta_ = s_.four.dTheta * kRadiansPerArcSecond;
    zone_warning_ =
        function == BatchFunction::kZoneChange && MeridiansFarApart(s_.l0, s_.l0_2);
  }

  bool zone_warning() const { return zone_warning_; }
  void set_separator(FieldSeparator sep) { separator_ = sep; }
  // Whether the last line converted lay outside its zone, or carried a
  // zone prefix other than that of l0.
  bool outside_zone() const { return outside_zone_; }
  bool prefix_mismatch() const { return prefix_mismatch_; }
  bool blank() const { return blank_; }

  // Converts one input line (without its '\n') and appends the output line.
  Outcome Convert(std::string_view raw, std::string* out, LineFailure* failure) {
    outside_zone_ = prefix_mismatch_ = blank_ = false;
    const std::string_view line = common::TrimSpace(UpToNul(raw));
    const size_t min = static_cast<size_t>(info_.min_length);
    blank_ = line.empty();
    *failure = LineFailure::kTooShort;
    if (line.size() <= min) return Outcome::kSkipped;
    // A UTF-8 line takes at least half its bytes in CP936, so only short
    // lines need counting.
    if (line.size() <= 2 * min + 1 && CodePageLength(line) <= min) return Outcome::kSkipped;
    common::ScanField f[4];
    *failure = LineFailure::kMissingFields;
    const int first_number = info_.pattern[1] == 's' ? 1 : 0;
    const int read = separator_ == FieldSeparator::kBlank
                         ? common::ScanLine(line, info_.pattern, f, 4)
                         : ReadSeparatedFields(line, separator_, first_number == 1, f,
                                               info_.fields);
    if (read < info_.fields) return Outcome::kSkipped;
    if (!AllFinite(f + first_number, info_.fields - first_number)) {
      return Fail(failure, LineFailure::kNotFinite);
    }
    const size_t start = out->size();
    bad_ = false;
    // Angles written in the packed unit are computed in degrees and packed
    // when printed.
    const AngleUnit out_unit = s_.outputUnit == kPackedDms ? kDegree : s_.outputUnit;

    const EllipsoidParams* e = &s_.ellipsoid;
    switch (info_.function) {
      case BatchFunction::kBlhToXyz: {
        double X, Y, Z;
        BLHToXYZ(f[1].number, f[2].number, f[3].number, s_.inputUnit, e, &X, &Y, &Z);
        Named(out, f[0].text);
        Fields(out, X, 13, 4, Y, 13, 4, Z, 13, 4);
        break;
      }
      case BatchFunction::kXyzToBlh: {
        double B, L, H;
        XYZToBLH(f[1].number, f[2].number, f[3].number, out_unit, e, &B, &L, &H);
        Named(out, f[0].text);
        Angle(out, B, 16, 10);
        Space(out);
        Angle(out, L, 16, 10);
        Space(out);
        Number(out, H, 13, 4);
        break;
      }
      case BatchFunction::kGeodeticInverse: {
        double S, A;
        if (!GeodeticInverse(f[0].number, f[1].number, f[2].number, f[3].number, s_.inputUnit,
                             out_unit, e, &S, &A)) {
          return Fail(failure, LineFailure::kNoConvergence);
        }
        Number(out, S, 13, 5);
        Space(out);
        Angle(out, A, 16, 10);
        break;
      }
      case BatchFunction::kGeodeticDirect: {
        double B2, L2;
        if (!GeodeticDirect(f[0].number, f[1].number, f[2].number, f[3].number, s_.inputUnit,
                            out_unit, e, &B2, &L2)) {
          return Fail(failure, LineFailure::kNotFinite);
        }
        Angle(out, B2, 16, 10);
        Space(out);
        Angle(out, L2, 16, 10);
        break;
      }
      case BatchFunction::kPlaneInverse: {
        double S, A;
        PlaneInverse(f[0].number, f[1].number, f[2].number, f[3].number, out_unit, &S, &A);
        Number(out, S, 20, 10);
        Space(out);
        Angle(out, A, 16, 10);
        break;
      }
      case BatchFunction::kPlaneDirect: {
        double x2, y2;
        if (!PlaneDirect(f[0].number, f[1].number, f[2].number, f[3].number, s_.inputUnit, &x2,
                         &y2)) {
          return Fail(failure, LineFailure::kNegativeDistance);
        }
        Fields(out, x2, 16, 10, y2, 16, 10);
        break;
      }
      case BatchFunction::kGaussForward: {
        double l0 = s_.l0, y_const = s_.yConst;
        if (IsZoneWidth(s_.zoneWidth) && !ForwardZone(f[2].number, &l0, &y_const)) {
          return Fail(failure, LineFailure::kNotFinite);
        }
        ProjectedPoint p;
        if (!s_.exactProjection) {
          p = GaussForward(f[1].number, f[2].number, f[3].number, s_.inputUnit, l0, y_const, e,
                           s_.xConst, s_.b0);
        } else if (!GaussForwardExact(f[1].number, f[2].number, f[3].number, s_.inputUnit, l0,
                                      y_const, e, &p, s_.xConst, s_.b0)) {
          return Fail(failure, LineFailure::kNotFiniteResult);
        }
        Named(out, f[0].text);
        Fields(out, p.x, 13, 4, p.y, 13, 4, p.h, 13, 4);
        break;
      }
      case BatchFunction::kGaussInverse: {
        double l0 = s_.l0, y_const = s_.yConst;
        if (IsZoneWidth(s_.zoneWidth) && !InverseZone(f[2].number, &l0, &y_const)) {
          return Fail(failure, LineFailure::kNoZonePrefix);
        }
        GeodeticPoint g;
        if (!s_.exactProjection) {
          g = GaussInverse(f[1].number, f[2].number, f[3].number, out_unit, l0, y_const, e,
                           s_.xConst, s_.b0);
        } else if (!GaussInverseExact(f[1].number, f[2].number, f[3].number, out_unit, l0,
                                      y_const, e, &g, s_.xConst, s_.b0)) {
          return Fail(failure, LineFailure::kNotFiniteResult);
        }
        if (IsZoneWidth(s_.zoneWidth) &&
            OutsideZone(ConvertAngle(g.L, out_unit, kDegree), l0, s_.zoneWidth)) {
          outside_zone_ = true;
        }
        Named(out, f[0].text);
        Angle(out, g.B, 16, 10);
        Space(out);
        Angle(out, g.L, 16, 10);
        Space(out);
        Number(out, g.H, 13, 4);
        break;
      }
      case BatchFunction::kZoneChange: {
        const ProjectedPoint p = GaussZoneChange(f[1].number, f[2].number, f[3].number, s_.l0,
                                                 s_.l0_2, s_.yConst, e, s_.xConst, s_.b0);
        Named(out, f[0].text);
        Fields(out, p.x, 13, 4, p.y, 13, 4, p.h, 13, 4);
        break;
      }
      case BatchFunction::kSevenApply: {
        double X, Y, Z;
        ApplySevenParams(f[1].number, f[2].number, f[3].number, s_.seven.dX0, s_.seven.dY0,
                         s_.seven.dZ0, ex_, ey_, ez_, s_.seven.dLambda, &X, &Y, &Z);
        Named(out, f[0].text);
        Fields(out, X, 13, 5, Y, 13, 5, Z, 13, 5);
        break;
      }
      case BatchFunction::kFourApply: {
        double x2, y2;
        ApplyFourParams(f[1].number, f[2].number, s_.four.dx0, s_.four.dy0, theta_,
                        s_.four.dLambda, &x2, &y2);
        Named(out, f[0].text);
        Fields(out, x2, 13, 5, y2, 13, 5);
        break;
      }
    }
    if (bad_) {
      out->resize(start);
      return Fail(failure, LineFailure::kNotFiniteResult);
    }
    out->push_back('\n');
    return Outcome::kWritten;
  }

 private:
  // The central meridian and y constant of a forward projection in zones
  // for longitude L (input unit); false when L is not finite.
  bool ForwardZone(double L, double* l0, double* y_const) {
    const double L_deg = ConvertAngle(L, s_.inputUnit, kDegree);
    if (!std::isfinite(L_deg)) return false;
    const int width = s_.zoneWidth;
    const int zone = ZoneNumber(s_.zoneFromPoint ? L_deg : s_.l0, width);
    if (s_.zoneFromPoint) *l0 = ZoneMeridian(zone, width);
    if (OutsideZone(L_deg, *l0, width)) outside_zone_ = true;
    // Measure the longitude difference the short way round.
    *l0 = L_deg - MeridianOffset(L_deg, *l0);
    if (s_.zonePrefix) *y_const += zone * kZonePrefixUnit;
    return true;
  }
  // The same for an inverse projection of a prefixed y; false when the zone
  // comes from y and y has none.
  bool InverseZone(double y, double* l0, double* y_const) {
    const int width = s_.zoneWidth;
    const int zone = ZonePrefixOf(y, s_.yConst);
    const bool valid = zone >= 1 && zone <= ZoneCount(width);
    if (s_.zoneFromPoint) {
      if (!valid) return false;
      *l0 = ZoneMeridian(zone, width);
    } else if (zone != ZoneNumber(s_.l0, width)) {
      prefix_mismatch_ = true;
    }
    if (zone > 0) *y_const += zone * kZonePrefixUnit;
    return true;
  }
  static bool AllFinite(const common::ScanField* f, int n) {
    for (int i = 0; i < n; ++i) {
      if (!std::isfinite(f[i].number)) return false;
    }
    return true;
  }
  static Outcome Fail(LineFailure* failure, LineFailure reason) {
    *failure = reason;
    return Outcome::kFailed;
  }
  static void Named(std::string* out, std::string_view name) {
    out->append(name);
    out->push_back(' ');
  }
  static void Space(std::string* out) { out->push_back(' '); }
  // A number; one that is not finite marks the line as failed.
  void Number(std::string* out, double v, int width, int precision) {
    if (!std::isfinite(v)) {
      bad_ = true;
      return;
    }
    AppendBatchFixed(out, v, width, precision);
  }
  // An angle in the output unit; degrees when that unit is the packed one.
  void Angle(std::string* out, double v, int width, int precision) {
    if (s_.outputUnit != kPackedDms) return Number(out, v, width, precision);
    if (!std::isfinite(v)) {
      bad_ = true;
      return;
    }
    AppendPackedDms(out, v, width, precision);
  }
  void Fields(std::string* out, double a, int wa, int pa, double b, int wb, int pb) {
    Number(out, a, wa, pa);
    Space(out);
    Number(out, b, wb, pb);
  }
  void Fields(std::string* out, double a, int wa, int pa, double b, int wb, int pb, double c,
              int wc, int pc) {
    Fields(out, a, wa, pa, b, wb, pb);
    Space(out);
    Number(out, c, wc, pc);
  }

  const BatchFunctionInfo& info_;
  const BatchSettings& s_;
  double ex_ = 0, ey_ = 0, ez_ = 0, theta_ = 0;
  bool zone_warning_ = false;
  bool outside_zone_ = false;
  bool prefix_mismatch_ = false;
  bool bad_ = false;    // a value of the line being written is not finite
  bool blank_ = false;  // the last line was empty or blank
  FieldSeparator separator_ = FieldSeparator::kBlank;
};

// Feeds lines to the converter and keeps the report.
class BatchRun {
 public:
  BatchRun(BatchFunction function, const BatchSettings& settings, BatchReport* report)
      : converter_(function, settings), report_(report) {}

  // Reads the lines that follow with the separator detected in `head`.
  void Detect(std::string_view head) {
    report_->separator = DetectFieldSeparator(head);
    converter_.set_separator(report_->separator);
  }

  void Line(std::string_view line, std::string* out) {
    ++report_->lines;
    LineFailure reason = LineFailure::kNoConvergence;
    switch (converter_.Convert(line, out, &reason)) {
      case Outcome::kWritten:
        ++report_->converted;
        if (converter_.zone_warning()) ++report_->zoneWarnings;
        if (converter_.outside_zone() && report_->outsideZone++ == 0) {
          report_->firstOutsideZoneLine = report_->lines;
        }
        if (converter_.prefix_mismatch() && report_->prefixMismatch++ == 0) {
          report_->firstPrefixMismatchLine = report_->lines;
        }
        break;
      case Outcome::kSkipped:
        ++report_->skipped;
        if (!converter_.blank()) {
          ++report_->unreadable;
          if (report_->skips.size() < kMaxListedFailures) {
            report_->skips.push_back(BatchLineFailure{report_->lines, reason});
          }
        }
        break;
      case Outcome::kFailed:
        ++report_->failed;
        if (report_->failures.size() < kMaxListedFailures) {
          report_->failures.push_back(BatchLineFailure{report_->lines, reason});
        }
        break;
    }
  }

 private:
  LineConverter converter_;
  BatchReport* report_;
};

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}

class InputFile {
 public:
  ~InputFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Open(const std::string& path, std::string* error) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      *error = SystemError("cannot open", path, errno);
      return false;
    }
    struct stat st;
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
      *error = "cannot open " + path + ": it is a folder";
      return false;
    }
    return true;
  }
  // Reads up to n bytes; 0 at the end, -1 on error (errno set).
  ssize_t Read(char* p, size_t n) {
    while (true) {
      const ssize_t r = ::read(fd_, p, n);
      if (r < 0 && errno == EINTR) continue;
      return r;
    }
  }

 private:
  int fd_ = -1;
};

constexpr size_t kChunk = 1 << 20;

BatchReport RunFile(BatchFunction function, const BatchSettings& settings,
                    const std::string& in_path, const std::string& out_path) {
  BatchReport report;
  if (common::SameFile(in_path, out_path)) {
    report.status = BatchStatus::kSameFile;
    report.detail = out_path + " is the input file " + in_path;
    return report;
  }
  InputFile in;
  if (!in.Open(in_path, &report.detail)) {
    report.status = BatchStatus::kOpenInputFailed;
    return report;
  }
  common::AtomicFileWriter out;
  if (!out.Create(out_path, &report.detail)) {
    report.status = BatchStatus::kCreateOutputFailed;
    return report;
  }

  BatchRun run(function, settings, &report);
  std::string output;
  output.reserve(kChunk + 4096);
  // buffer[begin, end) holds bytes read but not yet handled; it grows only
  // for a line longer than a chunk.
  std::string buffer(2 * kChunk, '\0');
  size_t begin = 0, end = 0;
  bool first = true;
  while (true) {
    if (begin > 0 && buffer.size() - end < kChunk) {
      std::memmove(buffer.data(), buffer.data() + begin, end - begin);
      end -= begin;
      begin = 0;
    }
    if (buffer.size() - end < kChunk) buffer.resize(buffer.size() * 2);
    const ssize_t got = in.Read(buffer.data() + end, kChunk);
    if (got < 0) {
      report.status = BatchStatus::kReadFailed;
      report.detail = SystemError("cannot read", in_path, errno);
      return report;
    }
    const bool at_end = got == 0;
    end += static_cast<size_t>(got);
    if (first && (end - begin >= 3 || at_end)) {
      if (end - begin >= 3) {
        begin += StripUtf8Bom(std::string_view(buffer.data() + begin, 3)).empty() ? 3 : 0;
      }
      run.Detect(std::string_view(buffer.data() + begin, end - begin));
      first = false;
    }
    while (true) {
      const char* start = buffer.data() + begin;
      const void* nl = std::memchr(start, '\n', end - begin);
      if (!nl) break;
      const size_t len = static_cast<size_t>(static_cast<const char*>(nl) - start);
      run.Line(std::string_view(start, len), &output);
      begin += len + 1;
    }
    if (at_end) {
      if (end > begin) run.Line(std::string_view(buffer.data() + begin, end - begin), &output);
      break;
    }
    if (output.size() >= kChunk) {
      if (!out.Write(output, &report.detail)) {
        report.status = BatchStatus::kWriteFailed;
        return report;
      }
      output.clear();
    }
  }
  if (!out.Write(output, &report.detail) || !out.Commit(&report.detail)) {
    report.status = BatchStatus::kWriteFailed;
  }
  return report;
}

}  // namespace

FieldSeparator DetectFieldSeparator(std::string_view head) {
  int lines = 0, semicolons = 0, commas = 0;
  LineCursor cursor(head);
  std::string_view line;
  while (lines < 100 && cursor.Next(&line)) {
    line = common::TrimSpace(UpToNul(line));
    if (line.empty()) continue;
    ++lines;
    if (HasSeparator(line, FieldSeparator::kSemicolon)) ++semicolons;
    if (HasSeparator(line, FieldSeparator::kComma)) ++commas;
  }
  if (lines == 0) return FieldSeparator::kBlank;
  if (2 * semicolons >= lines) return FieldSeparator::kSemicolon;
  if (2 * commas >= lines) return FieldSeparator::kComma;
  return FieldSeparator::kBlank;
}

const BatchFunctionInfo& BatchInfo(BatchFunction function) {
  return kFunctions[static_cast<int>(function)];
}

const BatchFunctionInfo* AllBatchFunctions() { return kFunctions; }

const BatchFunctionInfo* FindBatchFunction(std::string_view cli_name) {
  for (const BatchFunctionInfo& info : kFunctions) {
    if (cli_name == info.cli_name) return &info;
  }
  return nullptr;
}

const char* BatchStatusText(BatchStatus status) {
  switch (status) {
    case BatchStatus::kOk:
      return "";
    case BatchStatus::kSameFile:
      return texts::kSameFileError;
    case BatchStatus::kOpenInputFailed:
    case BatchStatus::kReadFailed:
      return texts::kOpenFileError;
    case BatchStatus::kCreateOutputFailed:
      return texts::kCreateFileError;
    case BatchStatus::kWriteFailed:
      return texts::kWriteFileError;
    case BatchStatus::kOutOfMemory:
      return texts::kOutOfMemory;
  }
  return "";
}

const char* LineFailureText(LineFailure reason) {
  switch (reason) {
    case LineFailure::kNoConvergence:
      return texts::kNoConvergence;
    case LineFailure::kNegativeDistance:
      return texts::kNegativeDistance;
    case LineFailure::kNotFinite:
      return texts::kNotFiniteInput;
    case LineFailure::kNoZonePrefix:
      return texts::kNoZonePrefix;
    case LineFailure::kNotFiniteResult:
      return texts::kNotFiniteResult;
    case LineFailure::kTooShort:
      return texts::kLineTooShort;
    case LineFailure::kMissingFields:
      return texts::kLineMissingFields;
  }
  return "";
}

BatchReport RunBatchFile(BatchFunction function, const BatchSettings& settings,
                         const std::string& in_path, const std::string& out_path) {
  try {
    return RunFile(function, settings, in_path, out_path);
  } catch (const std::bad_alloc&) {
    BatchReport report;
    report.status = BatchStatus::kOutOfMemory;
    report.detail = "not enough memory for " + in_path;
    return report;
  }
}

BatchReport RunBatchText(BatchFunction function, const BatchSettings& settings,
                         std::string_view input, std::string* output) {
  BatchReport report;
  try {
    BatchRun run(function, settings, &report);
    run.Detect(StripUtf8Bom(input));
    LineCursor cursor(StripUtf8Bom(input));
    std::string_view line;
    while (cursor.Next(&line)) run.Line(line, output);
  } catch (const std::bad_alloc&) {
    report.status = BatchStatus::kOutOfMemory;
  }
  return report;
}

}  // namespace georeckon
