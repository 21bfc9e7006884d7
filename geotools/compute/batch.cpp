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

bool HasSeparator(std::string_view line, FieldSeparator sep, bool utf8) {
  size_t length = 0;
  return FindSeparator(line, 0, sep, utf8, &length) != std::string_view::npos;
}

// Reads up to `want` fields of a separated line: the first one as text when
// `named`, the others as numbers that fill their field. Returns how many
// were read before the first that could not be (as scanf counts).
int ReadSeparatedFields(std::string_view line, FieldSeparator sep, bool utf8, bool named,
                        common::ScanField* f, int want) {
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

// One input line as read: the point name (empty where the line has none),
// the numbers in the order the function reads them and, from a CASS line,
// its code and whether it gave a height.
struct LineFields {
  std::string_view name;
  std::string_view code;
  double v[4] = {0, 0, 0, 0};
  bool has_height = true;
};

// The geodetic and plane problems with a point name before the numbers.
constexpr char kNamedProblemPattern[] = "%s %lf %lf %lf %lf";

bool IsProblem(BatchFunction f) {
  return f == BatchFunction::kGeodeticInverse || f == BatchFunction::kGeodeticDirect ||
         f == BatchFunction::kPlaneInverse || f == BatchFunction::kPlaneDirect;
}

bool IsGauss(BatchFunction f) {
  return f == BatchFunction::kGaussForward || f == BatchFunction::kGaussInverse ||
         f == BatchFunction::kZoneChange;
}

// Reads a CASS line "name,code,Y,X[,H]" (commas, also full-width): the
// name must not be empty, the code may be, Y and X must be numbers, H may
// be left out or empty. x (northing) goes to v[0], y to v[1], H to v[2].
bool ReadCassLine(std::string_view line, bool utf8, LineFields* l) {
  std::string_view field[5];
  int count = 0;
  size_t pos = 0;
  while (count < 5 && pos <= line.size()) {
    size_t length = 0;
    size_t end = FindSeparator(line, pos, FieldSeparator::kComma, utf8, &length);
    if (end == std::string_view::npos) end = line.size();
    field[count++] = common::TrimSpace(line.substr(pos, end - pos));
    pos = end + (length ? length : 1);
  }
  if (count < 4 || field[0].empty()) return false;
  double number[3] = {0, 0, 0};
  const int numbers = count >= 5 && !field[4].empty() ? 3 : 2;
  for (int i = 0; i < numbers; ++i) {
    const std::string_view f = field[2 + i];
    size_t used = 0;
    if (f.empty() || !common::ScanDouble(f, &used, &number[i]) || used != f.size()) return false;
  }
  l->name = field[0];
  l->code = field[1];
  l->v[0] = number[1];
  l->v[1] = number[0];
  l->v[2] = number[2];
  l->has_height = numbers == 3;
  return true;
}

// The central meridian and y constant of an inverse projection in zones of
// a prefixed y; false when the zone comes from y and y has none. *mismatch
// is set when y's zone is not that of the fixed meridian.
bool ZoneOfPrefixedY(const BatchSettings& s, double y, double* l0, double* y_const,
                     bool* mismatch) {
  const int width = s.zoneWidth;
  const int zone = ZonePrefixOf(y, s.yConst);
  const bool valid = zone >= 1 && zone <= ZoneCount(width);
  if (s.zoneFromPoint) {
    if (!valid) return false;
    *l0 = ZoneMeridian(zone, width);
  } else if (zone != ZoneNumber(s.l0, width)) {
    *mismatch = true;
  }
  if (zone > 0) *y_const += zone * kZonePrefixUnit;
  return true;
}

bool ProjectForward(const BatchSettings& s, double B, double L, double h, AngleUnit unit,
                    double l0, double y_const, ProjectedPoint* p) {
  if (!s.exactProjection) {
    *p = GaussForward(B, L, h, unit, l0, y_const, &s.ellipsoid, s.xConst, s.b0);
    return true;
  }
  return GaussForwardExact(B, L, h, unit, l0, y_const, &s.ellipsoid, p, s.xConst, s.b0);
}

bool ProjectInverse(const BatchSettings& s, double x, double y, double h, AngleUnit unit,
                    double l0, double y_const, GeodeticPoint* g) {
  if (!s.exactProjection) {
    *g = GaussInverse(x, y, h, unit, l0, y_const, &s.ellipsoid, s.xConst, s.b0);
    return true;
  }
  return GaussInverseExact(x, y, h, unit, l0, y_const, &s.ellipsoid, g, s.xConst, s.b0);
}

bool IsHeader(std::string_view line) {
  return line.substr(0, kBatchHeaderMark.size()) == kBatchHeaderMark;
}

std::string DegreesText(double degrees) {
  std::string text = FormatFixed(degrees, 0, 6);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text + "°";
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
    const bool has_name = info_.pattern[1] == 's';
    named_ = has_name || (s_.namedLines && IsProblem(function));
    pattern_ = named_ && !has_name ? kNamedProblemPattern : info_.pattern;
    fields_ = info_.fields + (named_ && !has_name ? 1 : 0);
    numbers_ = fields_ - (named_ ? 1 : 0);
    cass_in_ = s_.cassInput && ReadsCassFile(function);
    cass_out_ = s_.cassOutput && WritesCassFile(function);
    zones_ = IsZoneWidth(s_.zoneWidth) && IsGauss(function);
    zone_warning_ =
        function == BatchFunction::kZoneChange && MeridiansFarApart(s_.l0, s_.l0_2);
  }

  bool zone_warning() const { return zone_warning_; }
  void set_separator(FieldSeparator sep) { separator_ = sep; }
  void set_encoding(common::TextEncoding encoding) { encoding_ = encoding; }
  // Whether the last line converted lay outside its zone, or carried a
  // zone prefix other than that of l0.
  bool outside_zone() const { return outside_zone_; }
  bool prefix_mismatch() const { return prefix_mismatch_; }
  bool blank() const { return blank_; }

  // Converts one input line (without its '\n') and appends the output line.
  Outcome Convert(std::string_view raw, std::string* out, LineFailure* failure) {
    outside_zone_ = prefix_mismatch_ = blank_ = false;
    const std::string_view line = common::TrimSpace(UpToNul(raw));
    blank_ = line.empty();
    *failure = LineFailure::kTooShort;
    if (TooShort(line)) return Outcome::kSkipped;
    *failure = LineFailure::kMissingFields;
    LineFields l;
    if (!ReadFields(line, &l)) return Outcome::kSkipped;
    for (int i = 0; i < (cass_in_ ? 3 : numbers_); ++i) {
      if (!std::isfinite(l.v[i])) return Fail(failure, LineFailure::kNotFinite);
    }
    const size_t start = out->size();
    bad_ = false;
    const Outcome outcome = Compute(l, out, failure);
    if (outcome == Outcome::kWritten && bad_) {
      out->resize(start);
      return Fail(failure, LineFailure::kNotFiniteResult);
    }
    if (outcome != Outcome::kWritten) {
      out->resize(start);
      return outcome;
    }
    out->push_back('\n');
    return Outcome::kWritten;
  }

 private:
  // Lines not longer than the function's minimum, in code page bytes.
  bool TooShort(std::string_view line) const {
    const size_t min = static_cast<size_t>(info_.min_length);
    if (line.size() <= min) return true;
    // A UTF-8 line takes at least half its bytes in CP936, so only short
    // lines need counting.
    return line.size() <= 2 * min + 1 && CodePageLength(line, encoding_) <= min;
  }

  // False when the line does not hold every field.
  bool ReadFields(std::string_view line, LineFields* l) const {
    if (cass_in_) return ReadCassLine(line, encoding_ == common::TextEncoding::kUtf8, l);
    common::ScanField f[5];
    if (ReadLineFields(line, separator_, encoding_, pattern_, fields_, f) < fields_) return false;
    const int first_number = named_ ? 1 : 0;
    if (named_) l->name = f[0].text;
    for (int i = first_number; i < fields_; ++i) l->v[i - first_number] = f[i].number;
    return true;
  }

  Outcome Compute(const LineFields& l, std::string* out, LineFailure* failure) {
    switch (info_.function) {
      case BatchFunction::kBlhToXyz:
      case BatchFunction::kXyzToBlh:
        return Cartesian(l, out);
      case BatchFunction::kGeodeticInverse:
      case BatchFunction::kGeodeticDirect:
        return Geodetic(l, out, failure);
      case BatchFunction::kPlaneInverse:
      case BatchFunction::kPlaneDirect:
        return Plane(l, out, failure);
      case BatchFunction::kGaussForward:
        return GaussForwardLine(l, out, failure);
      case BatchFunction::kGaussInverse:
        return GaussInverseLine(l, out, failure);
      case BatchFunction::kZoneChange:
        return ZoneChangeLine(l, out, failure);
      case BatchFunction::kSevenApply:
      case BatchFunction::kFourApply:
        return Transform(l, out);
    }
    return Outcome::kSkipped;
  }

  // Angles written in the packed unit are computed in degrees and packed
  // when printed.
  AngleUnit OutUnit() const {
    return s_.outputUnit == kPackedDms ? kDegree : s_.outputUnit;
  }

  Outcome Cartesian(const LineFields& l, std::string* out) {
    const EllipsoidParams* e = &s_.ellipsoid;
    Named(out, l.name);
    if (info_.function == BatchFunction::kBlhToXyz) {
      double X, Y, Z;
      BLHToXYZ(l.v[0], l.v[1], l.v[2], s_.inputUnit, e, &X, &Y, &Z);
      Fields(out, X, 13, 4, Y, 13, 4, Z, 13, 4);
      return Outcome::kWritten;
    }
    double B, L, H;
    XYZToBLH(l.v[0], l.v[1], l.v[2], OutUnit(), e, &B, &L, &H);
    Angles(out, B, L);
    Space(out);
    Number(out, H, 13, 4);
    return Outcome::kWritten;
  }

  Outcome Geodetic(const LineFields& l, std::string* out, LineFailure* failure) {
    const EllipsoidParams* e = &s_.ellipsoid;
    const double* v = l.v;
    if (info_.function == BatchFunction::kGeodeticInverse) {
      double S, A;
      if (!GeodeticInverse(v[0], v[1], v[2], v[3], s_.inputUnit, OutUnit(), e, &S, &A)) {
        return Fail(failure, LineFailure::kNoConvergence);
      }
      if (named_) Named(out, l.name);
      Number(out, S, 13, 5);
      Space(out);
      Angle(out, A, 16, 10);
      return Outcome::kWritten;
    }
    double B2, L2;
    if (!GeodeticDirect(v[0], v[1], v[2], v[3], s_.inputUnit, OutUnit(), e, &B2, &L2)) {
      return Fail(failure, LineFailure::kNotFinite);
    }
    if (named_) Named(out, l.name);
    Angles(out, B2, L2);
    return Outcome::kWritten;
  }

  Outcome Plane(const LineFields& l, std::string* out, LineFailure* failure) {
    const double* v = l.v;
    if (info_.function == BatchFunction::kPlaneInverse) {
      double S, A;
      PlaneInverse(v[0], v[1], v[2], v[3], OutUnit(), &S, &A);
      if (named_) Named(out, l.name);
      Number(out, S, 20, 10);
      Space(out);
      Angle(out, A, 16, 10);
      return Outcome::kWritten;
    }
    double x2, y2;
    if (!PlaneDirect(v[0], v[1], v[2], v[3], s_.inputUnit, &x2, &y2)) {
      return Fail(failure, LineFailure::kNegativeDistance);
    }
    if (named_) Named(out, l.name);
    Fields(out, x2, 16, 10, y2, 16, 10);
    return Outcome::kWritten;
  }

  Outcome GaussForwardLine(const LineFields& l, std::string* out, LineFailure* failure) {
    double l0 = s_.l0, y_const = s_.yConst;
    if (zones_ && !ForwardZone(ConvertAngle(l.v[1], s_.inputUnit, kDegree), &l0, &y_const)) {
      return Fail(failure, LineFailure::kNotFinite);
    }
    ProjectedPoint p;
    if (!Forward(l.v[0], l.v[1], l.v[2], s_.inputUnit, l0, y_const, &p)) {
      return Fail(failure, LineFailure::kNotFiniteResult);
    }
    PlanePoint(out, l, p.x, p.y, p.h, 4);
    return Outcome::kWritten;
  }

  Outcome GaussInverseLine(const LineFields& l, std::string* out, LineFailure* failure) {
    double l0 = s_.l0, y_const = s_.yConst;
    if (zones_ && !InverseZone(l.v[1], &l0, &y_const)) {
      return Fail(failure, LineFailure::kNoZonePrefix);
    }
    GeodeticPoint g;
    if (!Inverse(l.v[0], l.v[1], l.v[2], OutUnit(), l0, y_const, &g)) {
      return Fail(failure, LineFailure::kNotFiniteResult);
    }
    if (zones_ && OutsideZone(ConvertAngle(g.L, OutUnit(), kDegree), l0, s_.zoneWidth)) {
      outside_zone_ = true;
    }
    Named(out, l.name);
    Angles(out, g.B, g.L);
    Space(out);
    Number(out, g.H, 13, 4);
    return Outcome::kWritten;
  }

  // Inverse in zone 1, forward in zone 2. With zones, y is read with its
  // zone prefix (zone 1 taken from it when l0 is not given) and written with
  // that of zone 2 when asked.
  Outcome ZoneChangeLine(const LineFields& l, std::string* out, LineFailure* failure) {
    ProjectedPoint p;
    ZoneChangeNotes notes;
    if (!ChangeZone(s_, l.v[0], l.v[1], l.v[2], &p, failure, &notes)) return Outcome::kFailed;
    zone_warning_ = notes.meridiansFarApart;
    outside_zone_ = notes.outsideZone;
    prefix_mismatch_ = notes.prefixMismatch;
    PlanePoint(out, l, p.x, p.y, p.h, 4);
    return Outcome::kWritten;
  }

  Outcome Transform(const LineFields& l, std::string* out) {
    if (info_.function == BatchFunction::kSevenApply) {
      double X, Y, Z;
      ApplySevenParams(l.v[0], l.v[1], l.v[2], s_.seven.dX0, s_.seven.dY0, s_.seven.dZ0, ex_, ey_,
                       ez_, s_.seven.dLambda, &X, &Y, &Z);
      Named(out, l.name);
      Fields(out, X, 13, 5, Y, 13, 5, Z, 13, 5);
      return Outcome::kWritten;
    }
    double x2, y2;
    ApplyFourParams(l.v[0], l.v[1], s_.four.dx0, s_.four.dy0, theta_, s_.four.dLambda, &x2, &y2);
    if (cass_out_) {
      LineFields kept = l;
      kept.has_height = cass_in_ && l.has_height;
      PlanePoint(out, kept, x2, y2, l.v[2], 5);
    } else {
      Named(out, l.name);
      Fields(out, x2, 13, 5, y2, 13, 5);
    }
    return Outcome::kWritten;
  }

  bool Forward(double B, double L, double h, AngleUnit unit, double l0, double y_const,
               ProjectedPoint* p) const {
    return ProjectForward(s_, B, L, h, unit, l0, y_const, p);
  }
  bool Inverse(double x, double y, double h, AngleUnit unit, double l0, double y_const,
               GeodeticPoint* g) const {
    return ProjectInverse(s_, x, y, h, unit, l0, y_const, g);
  }

  // The central meridian and y constant of a forward projection in zones
  // for longitude L (decimal degrees); false when L is not finite.
  bool ForwardZone(double L_deg, double* l0, double* y_const) {
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
  bool InverseZone(double y, double* l0, double* y_const) {
    return ZoneOfPrefixedY(s_, y, l0, y_const, &prefix_mismatch_);
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
  void Angles(std::string* out, double B, double L) {
    Angle(out, B, 16, 10);
    Space(out);
    Angle(out, L, 16, 10);
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
  // A plane point: "name x y h" in the function's widths, or as a CASS line
  // "name,code,y,x,h" (easting first, no padding; the height left empty
  // when the input line had none).
  void PlanePoint(std::string* out, const LineFields& l, double x, double y, double h,
                  int precision) {
    if (!cass_out_) {
      Named(out, l.name);
      Fields(out, x, 13, precision, y, 13, precision, h, 13, 4);
      return;
    }
    out->append(l.name);
    out->push_back(',');
    out->append(l.code);
    out->push_back(',');
    Number(out, y, 0, precision);
    out->push_back(',');
    Number(out, x, 0, precision);
    out->push_back(',');
    if (l.has_height) Number(out, h, 0, 4);
  }

  const BatchFunctionInfo& info_;
  const BatchSettings& s_;
  const char* pattern_ = "";
  int fields_ = 0;   // fields of a line, name included
  int numbers_ = 0;  // of these the numbers
  bool named_ = false;
  bool cass_in_ = false, cass_out_ = false;
  bool zones_ = false;
  double ex_ = 0, ey_ = 0, ez_ = 0, theta_ = 0;
  bool zone_warning_ = false;
  bool outside_zone_ = false;
  bool prefix_mismatch_ = false;
  bool bad_ = false;    // a value of the line being written is not finite
  bool blank_ = false;  // the last line was empty or blank
  FieldSeparator separator_ = FieldSeparator::kBlank;
  common::TextEncoding encoding_ = common::TextEncoding::kCp936;
};

// Feeds lines to the converter and keeps the report.
class BatchRun {
 public:
  BatchRun(BatchFunction function, const BatchSettings& settings, BatchReport* report)
      : converter_(function, settings), report_(report) {}

  // Reads the lines that follow in the encoding and with the separator
  // detected in `head` (after a byte order mark, when `bom`), the start of
  // the file or, when `complete`, all of it.
  void Detect(std::string_view head, bool bom, bool complete) {
    const common::TextEncoding encoding =
        bom ? common::TextEncoding::kUtf8 : common::DetectTextEncoding(head, complete);
    report_->separator = DetectFieldSeparator(head, encoding);
    converter_.set_separator(report_->separator);
    converter_.set_encoding(encoding);
  }

  void Line(std::string_view line, std::string* out) {
    ++report_->lines;
    if (report_->lines == 1 && IsHeader(line)) {
      ++report_->skipped;
      return;
    }
    LineFailure reason = LineFailure::kNoConvergence;
    switch (converter_.Convert(line, out, &reason)) {
      case Outcome::kWritten:
        ++report_->converted;
        if (converter_.zone_warning() && report_->zoneWarnings++ == 0) {
          report_->firstZoneWarningLine = report_->lines;
        }
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
  if (settings.header) output = BatchHeader(function, settings);
  // buffer[begin, end) holds bytes read but not yet handled; it grows only
  // for a line longer than a chunk. [begin, scanned) holds no line end, so
  // a long line is searched once, not again after every chunk.
  std::string buffer(2 * kChunk, '\0');
  size_t begin = 0, end = 0, scanned = 0;
  bool first = true;
  while (true) {
    if (begin > 0 && buffer.size() - end < kChunk) {
      std::memmove(buffer.data(), buffer.data() + begin, end - begin);
      end -= begin;
      scanned -= begin;
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
      bool bom = false;
      if (end - begin >= 3) {
        bom = StripUtf8Bom(std::string_view(buffer.data() + begin, 3)).empty();
        begin += bom ? 3 : 0;
        scanned = begin;
      }
      run.Detect(std::string_view(buffer.data() + begin, end - begin), bom, at_end);
      first = false;
    }
    while (true) {
      const char* start = buffer.data() + begin;
      const void* nl = std::memchr(buffer.data() + scanned, '\n', end - scanned);
      if (!nl) {
        scanned = end;
        break;
      }
      const size_t len = static_cast<size_t>(static_cast<const char*>(nl) - start);
      run.Line(std::string_view(start, len), &output);
      begin += len + 1;
      scanned = begin;
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
  return DetectFieldSeparator(head, common::DetectTextEncoding(head, false));
}

FieldSeparator DetectFieldSeparator(std::string_view head, common::TextEncoding encoding) {
  const bool utf8 = encoding == common::TextEncoding::kUtf8;
  int lines = 0, semicolons = 0, commas = 0;
  LineCursor cursor(head);
  std::string_view line;
  while (lines < 100 && cursor.Next(&line)) {
    if (cursor.line_number() == 1 && IsHeader(line)) continue;
    line = common::TrimSpace(UpToNul(line));
    if (line.empty()) continue;
    ++lines;
    if (HasSeparator(line, FieldSeparator::kSemicolon, utf8)) ++semicolons;
    if (HasSeparator(line, FieldSeparator::kComma, utf8)) ++commas;
  }
  if (lines == 0) return FieldSeparator::kBlank;
  if (2 * semicolons >= lines) return FieldSeparator::kSemicolon;
  if (2 * commas >= lines) return FieldSeparator::kComma;
  return FieldSeparator::kBlank;
}

std::string BatchHeader(BatchFunction function, const BatchSettings& s) {
  std::string h = std::string(kBatchHeaderMark) + BatchInfo(function).cli_name + ": " +
                  EllipsoidDescription(s.ellipsoid);
  if (!IsGauss(function)) return h + "\n";
  if (IsZoneWidth(s.zoneWidth)) {
    h += "; " + std::to_string(s.zoneWidth) + "°带";
    if (s.zoneFromPoint) h += function == BatchFunction::kGaussForward ? " 每点按经度取带" : " 带号取自y";
    if (s.zonePrefix || function != BatchFunction::kGaussForward) h += " y含带号";
  }
  const bool l0_used = !(IsZoneWidth(s.zoneWidth) && s.zoneFromPoint);
  const bool change = function == BatchFunction::kZoneChange;
  if (l0_used || change) h += "; 中央子午线";
  if (l0_used) h += " " + DegreesText(s.l0);
  if (change) h += " -> " + DegreesText(s.l0_2);
  h += s.exactProjection ? "; Krüger级数(高精度投影)" : "; 经典级数";
  return h + "\n";
}

bool ChangeZone(const BatchSettings& s, double x, double y, double h, ProjectedPoint* p,
                LineFailure* failure, ZoneChangeNotes* notes) {
  *notes = ZoneChangeNotes{};
  notes->l0 = s.l0;
  notes->meridiansFarApart = MeridiansFarApart(s.l0, s.l0_2);
  const bool zones = IsZoneWidth(s.zoneWidth);
  if (!zones && !s.exactProjection) {
    *p = GaussZoneChange(x, y, h, s.l0, s.l0_2, s.yConst, &s.ellipsoid, s.xConst, s.b0);
    return true;
  }
  double l0 = s.l0, y_const = s.yConst;
  if (zones && !ZoneOfPrefixedY(s, y, &l0, &y_const, &notes->prefixMismatch)) {
    *failure = LineFailure::kNoZonePrefix;
    return false;
  }
  notes->l0 = l0;
  notes->meridiansFarApart = MeridiansFarApart(l0, s.l0_2);
  GeodeticPoint g;
  double l0_2 = s.l0_2, y_const_2 = s.yConst;
  bool computed = ProjectInverse(s, x, y, h, kRadian, l0, y_const, &g);
  if (computed && zones) {
    const double L_deg = ConvertAngle(g.L, kRadian, kDegree);
    notes->outsideZone = OutsideZone(L_deg, l0_2, s.zoneWidth);
    // Measure the longitude difference the short way round.
    l0_2 = L_deg - MeridianOffset(L_deg, l0_2);
    if (s.zonePrefix) y_const_2 += ZoneNumber(s.l0_2, s.zoneWidth) * kZonePrefixUnit;
  }
  computed = computed && ProjectForward(s, g.B, g.L, h, kRadian, l0_2, y_const_2, p);
  if (!computed) *failure = LineFailure::kNotFiniteResult;
  return computed;
}

int ReadLineFields(std::string_view line, FieldSeparator sep, common::TextEncoding encoding,
                   const char* pattern, int fields, common::ScanField* f) {
  if (sep == FieldSeparator::kBlank) return common::ScanLine(line, pattern, f, fields);
  return ReadSeparatedFields(line, sep, encoding == common::TextEncoding::kUtf8,
                             pattern[1] == 's', f, fields);
}

bool ReadsCassFile(BatchFunction function) {
  return function == BatchFunction::kGaussInverse || function == BatchFunction::kZoneChange ||
         function == BatchFunction::kFourApply;
}

bool WritesCassFile(BatchFunction function) {
  return function == BatchFunction::kGaussForward || function == BatchFunction::kZoneChange ||
         function == BatchFunction::kFourApply;
}

bool IsCassFileName(std::string_view path) {
  if (path.size() < 4) return false;
  const std::string_view ext = path.substr(path.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'd' && (ext[2] | 0x20) == 'a' &&
         (ext[3] | 0x20) == 't';
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
    if (settings.header) output->append(BatchHeader(function, settings));
    const std::string_view text = StripUtf8Bom(input);
    run.Detect(text, text.size() != input.size(), true);
    LineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(&line)) run.Line(line, output);
  } catch (const std::bad_alloc&) {
    report.status = BatchStatus::kOutOfMemory;
  }
  return report;
}

}  // namespace georeckon
