#include "geotools/compute/param_file.h"

#include <cmath>
#include <new>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "common/scan_line.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/text_lines.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace {

// The labels with Greek letters, in UTF-8 and in CP936 (θ = A6 C8, λ = A6 CB).
struct Label {
  const char* utf8;
  const char* cp936;
};
constexpr Label kThetaX{"θx:", "\xA6\xC8x:"};
constexpr Label kThetaY{"θy:", "\xA6\xC8y:"};
constexpr Label kThetaZ{"θz:", "\xA6\xC8z:"};
constexpr Label kDTheta{"dθ:", "d\xA6\xC8:"};
constexpr Label kDLambda{"dλ:", "d\xA6\xCB:"};

void AppendLabelled(std::string* out, const char* label, double value, int width, int precision) {
  *out += label;
  *out += ' ';
  AppendFixed(out, value, width, precision);
  *out += '\n';
}

void AppendPointRows(std::string* out, const std::vector<CommonPointRow>& rows) {
  *out += texts::kCommonPointsHeading;
  *out += '\n';
  const std::string gap(5, ' ');
  for (const CommonPointRow& row : rows) {
    *out += row.name;
    *out += gap;
    const size_t half = row.cells.size() / 2;
    for (size_t i = 0; i < row.cells.size(); ++i) {
      if (i == half) *out += gap;
      *out += row.cells[i];
      *out += gap;
    }
    *out += '\n';
  }
}

// The text is built in UTF-8 and stored in CP936 where every character has
// a CP936 form.
std::string ToFileText(const std::string& utf8) { return common::Utf8ToFileText(utf8); }

class ParamLines {
 public:
  explicit ParamLines(std::string_view bytes) : cursor_(StripUtf8Bom(bytes)) {}

  // Takes the next line; false (with the failure recorded) at the end.
  bool Next(std::string_view* line) {
    if (!cursor_.Next(line)) {
      Fail(cursor_.line_number() + 1, "the file ends early");
      return false;
    }
    *line = WithoutCarriageReturn(*line);
    return true;
  }

  bool Exact(const char* expected) {
    std::string_view line;
    if (!Next(&line)) return false;
    if (line != expected) return Fail(cursor_.line_number(), std::string("expected \"") + expected + "\"");
    return true;
  }

  bool Value(const Label& label, double* value) {
    std::string_view line;
    if (!Next(&line)) return false;
    const std::string_view t = common::TrimSpace(UpToNul(line));
    common::ScanField f[2];
    if (t.size() <= 2 || common::ScanLine(t, "%s %lf", f, 2) != 2 ||
        (f[0].text != label.utf8 && f[0].text != label.cp936) || !std::isfinite(f[1].number)) {
      return Fail(cursor_.line_number(),
                  std::string("expected \"") + label.utf8 + " <number>\"");
    }
    *value = f[1].number;
    return true;
  }

  bool Fail(int64_t line, const std::string& what) {
    if (result_.status == ParamFileStatus::kOk) {
      result_.status = ParamFileStatus::kWrongFormat;
      result_.line = static_cast<int>(line);
      result_.detail = what;
    }
    return false;
  }

  const ParamFileResult& result() const { return result_; }

 private:
  LineCursor cursor_;
  ParamFileResult result_;
};

ParamFileResult OpenFailure(const std::string& error) {
  ParamFileResult r;
  r.status = ParamFileStatus::kOpenFailed;
  r.detail = error;
  return r;
}

}  // namespace

std::string FormatSevenParamFile(const SevenParams& p, const std::vector<CommonPointRow>& rows) {
  std::string s = "Shift:\n";
  AppendLabelled(&s, "dX0:", p.dX0, 13, 5);
  AppendLabelled(&s, "dY0:", p.dY0, 13, 5);
  AppendLabelled(&s, "dZ0:", p.dZ0, 13, 5);
  s += "Rotation:\n";
  AppendLabelled(&s, kThetaX.utf8, p.thetaX, 16, 11);
  AppendLabelled(&s, kThetaY.utf8, p.thetaY, 16, 11);
  AppendLabelled(&s, kThetaZ.utf8, p.thetaZ, 16, 11);
  s += "Scale:\n";
  AppendLabelled(&s, kDLambda.utf8, p.dLambda, 16, 11);
  s += "\n\n";
  AppendPointRows(&s, rows);
  return ToFileText(s);
}

std::string FormatFourParamFile(const FourParams& p, const std::vector<CommonPointRow>& rows) {
  std::string s = "Shift:\n";
  AppendLabelled(&s, "dx0:", p.dx0, 13, 4);
  AppendLabelled(&s, "dy0:", p.dy0, 13, 4);
  s += "Rotation:\n";
  AppendLabelled(&s, kDTheta.utf8, p.dTheta, 16, 11);
  s += "Scale:\n";
  AppendLabelled(&s, kDLambda.utf8, p.dLambda, 16, 11);
  s += "\n\n";
  AppendPointRows(&s, rows);
  return ToFileText(s);
}

bool WriteSevenParamFile(const std::string& path, const SevenParams& p,
                         const std::vector<CommonPointRow>& rows, std::string* error) {
  return common::SaveFileAtomically(path, FormatSevenParamFile(p, rows), error);
}

bool WriteFourParamFile(const std::string& path, const FourParams& p,
                        const std::vector<CommonPointRow>& rows, std::string* error) {
  return common::SaveFileAtomically(path, FormatFourParamFile(p, rows), error);
}

ParamFileResult ParseSevenParamFile(std::string_view bytes, SevenParams* out) {
  ParamLines lines(bytes);
  SevenParams p;
  const bool ok = lines.Exact("Shift:") && lines.Value({"dX0:", "dX0:"}, &p.dX0) &&
                  lines.Value({"dY0:", "dY0:"}, &p.dY0) && lines.Value({"dZ0:", "dZ0:"}, &p.dZ0) &&
                  lines.Exact("Rotation:") && lines.Value(kThetaX, &p.thetaX) &&
                  lines.Value(kThetaY, &p.thetaY) && lines.Value(kThetaZ, &p.thetaZ) &&
                  lines.Exact("Scale:") && lines.Value(kDLambda, &p.dLambda);
  if (ok) *out = p;
  return lines.result();
}

ParamFileResult ParseFourParamFile(std::string_view bytes, FourParams* out) {
  ParamLines lines(bytes);
  FourParams p;
  const bool ok = lines.Exact("Shift:") && lines.Value({"dx0:", "dx0:"}, &p.dx0) &&
                  lines.Value({"dy0:", "dy0:"}, &p.dy0) && lines.Exact("Rotation:") &&
                  lines.Value(kDTheta, &p.dTheta) && lines.Exact("Scale:") &&
                  lines.Value(kDLambda, &p.dLambda);
  if (ok) *out = p;
  return lines.result();
}

namespace {

template <typename Params>
ParamFileResult ReadParamFile(const std::string& path, Params* out,
                              ParamFileResult (*parse)(std::string_view, Params*)) {
  try {
    std::string bytes, error;
    if (!common::ReadWholeFile(path, &bytes, &error)) return OpenFailure(error);
    ParamFileResult r = parse(bytes, out);
    if (r.status != ParamFileStatus::kOk) {
      r.detail = path + ":" + std::to_string(r.line) + ": " + r.detail;
    }
    return r;
  } catch (const std::bad_alloc&) {
    return OpenFailure("not enough memory to read " + path);
  }
}

}  // namespace

ParamFileResult ReadSevenParamFile(const std::string& path, SevenParams* out) {
  return ReadParamFile(path, out, &ParseSevenParamFile);
}

ParamFileResult ReadFourParamFile(const std::string& path, FourParams* out) {
  return ReadParamFile(path, out, &ParseFourParamFile);
}

}  // namespace georeckon
