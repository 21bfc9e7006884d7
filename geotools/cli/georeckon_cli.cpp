// georeckon-cli: every batch function of the coordinate tools without a
// window. It calls the same core functions as the window program's batch
// buttons and writes exactly the files they write.
//
//   georeckon-cli FUNCTION [options] IN OUT
//
// Exit status: 0 success; 1 the run failed or left computable lines out, or
// with --strict skipped lines that are not data lines (stderr lists every
// such line with its number and reason); 2 the command line is wrong.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/scan_line.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/common_points.h"
#include "geotools/compute/ellipsoid.h"
#include "geotools/compute/param_file.h"
#include "geotools/compute/residuals.h"
#include "geotools/compute/texts.h"

namespace georeckon {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: georeckon-cli FUNCTION [options] IN OUT\n"
    "       georeckon-cli --help\n";

void PrintHelp() {
  std::printf("%s\n", kUsage);
  std::printf(
      "Runs one function of the coordinate tools over the text file IN and writes OUT,\n"
      "the same file the window program's batch button writes. Fields are separated by\n"
      "blanks or tabs, or in the whole file by commas (also '，') or semicolons, found\n"
      "from its first lines; a UTF-8 byte order mark and CR LF are accepted. Input lines are trimmed;\n"
      "lines of 6 bytes or fewer, and lines without every field, are skipped; further\n"
      "fields on a line are ignored.\n\n"
      "FUNCTION      input line -> output line\n");
  const BatchFunctionInfo* all = AllBatchFunctions();
  for (int i = 0; i < kBatchFunctionCount; ++i) {
    std::printf("  %-13s %s\n  %-13s   -> %s\n", all[i].cli_name, all[i].input_line, "",
                all[i].output_line);
  }
  std::printf(
      "  %-13s IN: name X Y Z X' Y' Z' (common points, lines of 12 bytes or fewer skipped)\n"
      "  %-13s   -> OUT: the seven-parameter file\n"
      "  %-13s IN: name x y x' y' (common points, lines of 8 bytes or fewer skipped)\n"
      "  %-13s   -> OUT: the four-parameter file\n\n",
      "seven-solve", "", "four-solve", "");
  std::printf(
      "options:\n"
      "  --ellipsoid wgs84|beijing54|xian80|cgcs2000|A,INVF\n"
      "                            (default wgs84; A in metres, INVF = 1/f)\n"
      "  --in-unit rad|dms|deg     unit of angles read  (default dms: D.MMSSsss)\n"
      "  --out-unit rad|dms|deg    unit of angles written (default dms)\n"
      "  --l0 DEG                  central meridian, decimal degrees (zone 1 of zone-change)\n"
      "  --l0-2 DEG                central meridian of zone 2 (zone-change)\n"
      "  --y-const M               constant added to y (default 500000)\n"
      "  --zone-width 3|6          gauss-forward, gauss-inverse: project in zones of this\n"
      "                            width; without --l0 each point in its own zone (6: zone\n"
      "                            floor(L/6)+1 about 6n-3, 3: zone round(L/3) about 3n).\n"
      "                            gauss-inverse reads y with the zone number before it\n"
      "  --zone-prefix             gauss-forward: write y as zone*1000000 + y-const + easting\n"
      "  --exact                   gauss-forward, gauss-inverse: the projection to nanometres\n"
      "                            (Krüger series) instead of the classical series\n"
      "  --params FILE             parameter file for seven-apply and four-apply\n"
      "  --report FILE             seven-solve, four-solve: residuals of every common point\n"
      "                            (metres), σ0 and the worst point, written to FILE\n"
      "  --strict                  lines skipped as too short or incomplete fail the run\n\n"
      "Every line skipped or not computable is listed on stderr as IN:LINE: reason.\n"
      "exit status: 0 success, 1 failure or lines left out (with --strict also lines\n"
      "skipped), 2 wrong command line\n");
}

// One line on stderr.
void Complain(const std::string& message) {
  std::fprintf(stderr, "georeckon-cli: %s\n", message.c_str());
}

int UsageError(const std::string& message) {
  Complain(message);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

bool ParseNumber(std::string_view text, double* value) {
  size_t pos = 0;
  if (!common::ScanDouble(text, &pos, value) || pos != text.size()) return false;
  return std::isfinite(*value);
}

bool ParseUnit(std::string_view text, AngleUnit* unit) {
  if (text == "rad") {
    *unit = kRadian;
  } else if (text == "dms") {
    *unit = kPackedDms;
  } else if (text == "deg") {
    *unit = kDegree;
  } else {
    return false;
  }
  return true;
}

bool ParseEllipsoid(std::string_view text, EllipsoidParams* e) {
  if (text == "wgs84") return PresetEllipsoid(kWgs84, e);
  if (text == "beijing54") return PresetEllipsoid(kBeijing54, e);
  if (text == "xian80") return PresetEllipsoid(kXian80, e);
  if (text == "cgcs2000") return PresetEllipsoid(kCgcs2000, e);
  const size_t comma = text.find(',');
  double a, invf;
  if (comma == std::string_view::npos || !ParseNumber(text.substr(0, comma), &a) ||
      !ParseNumber(text.substr(comma + 1), &invf) || !IsAcceptedCustomInput(a, invf)) {
    return false;
  }
  *e = CustomEllipsoid(a, invf);
  return true;
}

struct Options {
  std::string function;
  BatchSettings settings;
  std::string params;
  std::string report;
  std::vector<std::string> files;
  bool l0_given = false;
  bool strict = false;
};

// Parses argv into *o; returns 0, or the exit status of a usage error.
int ParseArguments(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--zone-prefix") {
      o->settings.zonePrefix = true;
      continue;
    }
    if (arg == "--strict") {
      o->strict = true;
      continue;
    }
    if (arg == "--exact") {
      o->settings.exactProjection = true;
      continue;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (o->function.empty()) {
        o->function = arg;
      } else {
        o->files.push_back(arg);
      }
      continue;
    }
    std::string value;
    const size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    } else {
      if (i + 1 >= argc) return UsageError("option " + arg + " needs a value");
      value = argv[++i];
    }
    BatchSettings& s = o->settings;
    double number = 0;
    if (arg == "--ellipsoid") {
      if (!ParseEllipsoid(value, &s.ellipsoid)) {
        return UsageError(
            "--ellipsoid: expected wgs84, beijing54, xian80, cgcs2000 or A,INVF with A in [" +
                          std::to_string(static_cast<long>(kMinSemiMajorAxis)) + ", " +
                          std::to_string(static_cast<long>(kMaxSemiMajorAxis)) +
                          "] and INVF in [2, 1000], not \"" + value + "\"");
      }
    } else if (arg == "--in-unit" || arg == "--out-unit") {
      AngleUnit unit;
      if (!ParseUnit(value, &unit)) {
        return UsageError(arg + ": expected rad, dms or deg, not \"" + value + "\"");
      }
      (arg == "--in-unit" ? s.inputUnit : s.outputUnit) = unit;
    } else if (arg == "--l0" || arg == "--l0-2") {
      if (!ParseNumber(value, &number) || number < -180 || number > 180) {
        return UsageError(arg + ": expected degrees in [-180, 180], not \"" + value + "\"");
      }
      (arg == "--l0" ? s.l0 : s.l0_2) = number;
      if (arg == "--l0") o->l0_given = true;
    } else if (arg == "--zone-width") {
      if (value != "3" && value != "6") {
        return UsageError("--zone-width: expected 3 or 6, not \"" + value + "\"");
      }
      s.zoneWidth = value == "3" ? 3 : 6;
    } else if (arg == "--y-const") {
      if (!ParseNumber(value, &number)) {
        return UsageError("--y-const: expected a number, not \"" + value + "\"");
      }
      s.yConst = number;
    } else if (arg == "--params") {
      o->params = value;
    } else if (arg == "--report") {
      o->report = value;
    } else {
      return UsageError("unknown option " + arg);
    }
  }
  return 0;
}

int RunSolve(const Options& o, bool seven) {
  const std::string& in = o.files[0];
  const std::string& out = o.files[1];
  if (common::SameFile(in, out)) {
    Complain(std::string(texts::kSameFileError) + " (" + out + ")");
    return kExitFailure;
  }
  std::vector<CommonPointRow> rows;
  const PointListResult list = ReadCommonPointList(
      in, seven ? CommonPointKind::kSpatial : CommonPointKind::kPlane, &rows);
  if (!list.opened) {
    Complain(std::string(texts::kOpenFileError) + " (" + list.detail + ")");
    return kExitFailure;
  }
  SolveStatus status;
  SevenParams seven_params;
  FourParams four_params;
  if (seven) {
    status = SolveSevenFromRows(rows, &seven_params);
  } else {
    status = SolveFourFromRows(rows, &four_params);
  }
  switch (status) {
    case SolveStatus::kOk:
      break;
    case SolveStatus::kTooFewPoints:
      Complain(std::string(seven ? texts::kNeedThreePoints : texts::kNeedOnePoint) + " (" + in +
               ": " + std::to_string(list.rows_added) + " common points read)");
      return kExitFailure;
    case SolveStatus::kSingular:
      Complain(std::string(seven ? texts::kSevenSolveFailed : texts::kFourSolveFailed) + " (" +
               in + ": the common points do not determine the parameters)");
      return kExitFailure;
    case SolveStatus::kOutOfMemory:
      Complain(texts::kOutOfMemory);
      return kExitFailure;
  }
  std::string error;
  const bool written = seven ? WriteSevenParamFile(out, seven_params, rows, &error)
                             : WriteFourParamFile(out, four_params, rows, &error);
  if (!written) {
    Complain(std::string(texts::kCreateFileError) + " (" + error + ")");
    return kExitFailure;
  }
  if (!o.report.empty()) {
    const SolveResiduals residuals =
        seven ? SevenResiduals(rows, seven_params) : FourResiduals(rows, four_params);
    if (!WriteResidualReport(o.report, residuals, &error)) {
      Complain(std::string(texts::kCreateFileError) + " (" + error + ")");
      return kExitFailure;
    }
  }
  return 0;
}

int RunBatch(const Options& o, const BatchFunctionInfo& info) {
  BatchSettings settings = o.settings;
  const bool gauss = info.function == BatchFunction::kGaussForward ||
                     info.function == BatchFunction::kGaussInverse;
  if (!gauss && (settings.zoneWidth != 0 || settings.zonePrefix || settings.exactProjection)) {
    return UsageError(
        "--zone-width, --zone-prefix and --exact work with gauss-forward and gauss-inverse");
  }
  if (settings.zonePrefix && settings.zoneWidth == 0) {
    return UsageError("--zone-prefix needs --zone-width");
  }
  settings.zoneFromPoint = settings.zoneWidth != 0 && !o.l0_given;
  const bool seven = info.function == BatchFunction::kSevenApply;
  if (seven || info.function == BatchFunction::kFourApply) {
    if (o.params.empty()) return UsageError(std::string(info.cli_name) + " needs --params FILE");
    const ParamFileResult r = seven ? ReadSevenParamFile(o.params, &settings.seven)
                                    : ReadFourParamFile(o.params, &settings.four);
    if (r.status == ParamFileStatus::kOpenFailed) {
      Complain(std::string(texts::kOpenFileError) + " (" + r.detail + ")");
      return kExitFailure;
    }
    if (r.status == ParamFileStatus::kWrongFormat) {
      Complain(std::string(texts::kWrongFormatFile) + " (" + r.detail + ")");
      return kExitFailure;
    }
  }
  const std::string& in = o.files[0];
  const BatchReport report = RunBatchFile(info.function, settings, in, o.files[1]);
  if (report.status != BatchStatus::kOk) {
    Complain(std::string(BatchStatusText(report.status)) + " (" + report.detail + ")");
    return kExitFailure;
  }
  if (report.zoneWarnings > 0) {
    Complain(std::string("warning: ") + texts::kMeridiansOver6 + " (" +
             std::to_string(report.zoneWarnings) + " lines)");
  }
  if (report.outsideZone > 0) {
    Complain(in + ":" + std::to_string(report.firstOutsideZoneLine) + ": warning: " +
             texts::kOutsideZone + " (" + std::to_string(report.outsideZone) + " lines)");
  }
  if (report.prefixMismatch > 0) {
    Complain(in + ":" + std::to_string(report.firstPrefixMismatchLine) + ": warning: " +
             texts::kPrefixMismatch + " (" + std::to_string(report.prefixMismatch) + " lines)");
  }
  // Every line left out, in file order.
  std::vector<BatchLineFailure> left_out = report.skips;
  left_out.insert(left_out.end(), report.failures.begin(), report.failures.end());
  std::stable_sort(left_out.begin(), left_out.end(),
                   [](const BatchLineFailure& a, const BatchLineFailure& b) {
                     return a.line < b.line;
                   });
  for (const BatchLineFailure& f : left_out) {
    Complain(in + ":" + std::to_string(f.line) + ": " + LineFailureText(f.reason));
  }
  const int64_t listed = static_cast<int64_t>(left_out.size());
  if (listed < report.unreadable + report.failed) {
    Complain(in + ": " + std::to_string(report.unreadable + report.failed - listed) +
             " more lines left out, not listed");
  }
  if (report.unreadable > 0) {
    Complain(in + ": " + std::to_string(report.converted) + " lines converted, " +
             std::to_string(report.unreadable + report.failed) + " lines skipped");
  }
  if (report.failed > 0) {
    const BatchLineFailure& first = report.failures.front();
    Complain(in + ":" + std::to_string(first.line) + ": " + LineFailureText(first.reason) +
             " (" + std::to_string(report.failed) + " of " +
             std::to_string(report.converted + report.failed) +
             " readable lines not converted and left out of " + o.files[1] + ")");
    return kExitFailure;
  }
  if (o.strict && report.unreadable > 0) return kExitFailure;
  return 0;
}

int Main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintHelp();
      return 0;
    }
  }
  Options o;
  if (const int status = ParseArguments(argc, argv, &o)) return status;
  if (o.function.empty()) return UsageError("no function given");
  const bool solve7 = o.function == "seven-solve";
  const bool solve4 = o.function == "four-solve";
  const BatchFunctionInfo* info = FindBatchFunction(o.function);
  if (!info && !solve7 && !solve4) {
    return UsageError("unknown function \"" + o.function + "\" (see --help)");
  }
  if (o.files.size() != 2) return UsageError("expected the files IN and OUT");
  if (!o.report.empty() && !solve7 && !solve4) {
    return UsageError("--report works with seven-solve and four-solve");
  }
  if (solve7 || solve4) return RunSolve(o, solve7);
  return RunBatch(o, *info);
}

}  // namespace
}  // namespace georeckon

int main(int argc, char** argv) { return georeckon::Main(argc, argv); }
