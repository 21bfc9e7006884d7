// Batch conversion of point files: the engine behind every batch button of
// the coordinate tools and behind georeckon-cli.
//
// Rules shared by every function:
// - Each input line loses leading and trailing white space (a line ends at
//   '\n'; it is read as a C string, so a NUL byte ends it too). Lines not
//   longer than the function's minimum (6 bytes; counted in code page 936,
//   so a Chinese character counts 2 also in a UTF-8 file) are skipped.
// - Fields are separated by blanks and tabs, or, when the file is found to
//   be separated so (DetectFieldSeparator over its first lines), by commas
//   (',' or the full-width '，') or by semicolons. In a separated file each
//   field is trimmed, a name may hold blanks, and a number field must be a
//   number and nothing else. A UTF-8 byte order mark and "\r\n" line ends
//   are accepted.
// - The line is read with the function's scanf pattern ("%s %lf %lf %lf",
//   "%lf %lf %lf %lf" or "%s %lf %lf") and skipped unless every field was
//   read; fields after them are ignored.
// - Each accepted line gives one output line: the point name (bytes exactly
//   as read) where the function has one, then the results in the function's
//   printf formats, separated by single blanks, ending with '\n'. A value
//   that prints as zero never carries a minus sign; angles written in the
//   packed unit D.MMSSsss are rounded in their seconds and carried into
//   minutes and degrees (never "119.5959999999" for 120°).
// - A line with an infinite or not-a-number value read or computed gives
//   no output line; it is counted and listed as not computable.
// - Lines that are not empty or blank but too short or without every field
//   are listed with their line numbers too (BatchReport::skips), so that
//   nothing is left out without a word.
// - A line whose computation fails (a nearly antipodal inverse problem, a
//   negative plane distance) gives no output line; it is counted and listed
//   in the report so that the caller can say which lines are missing.
// - The output is written to a temporary file beside the target and renamed
//   over it at the end, so a failed run leaves an existing target intact.
//   An output that is the input file itself (by any path or link) is
//   refused before anything is opened for writing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geotools/compute/angle_unit.h"
#include "geotools/compute/ellipsoid.h"
#include "geotools/compute/four_params.h"
#include "geotools/compute/gauss.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

enum class BatchFunction {
  kBlhToXyz,         // name B L H           -> name X Y Z          (%13.4lf ×3)
  kXyzToBlh,         // name X Y Z           -> name B L H          (%16.10lf ×2, %13.4lf)
  kGeodeticInverse,  // B1 L1 B2 L2          -> S A                 (%13.5lf, %16.10lf)
  kGeodeticDirect,   // B1 L1 S A1           -> B2 L2               (%16.10lf ×2)
  kPlaneInverse,     // x1 y1 x2 y2          -> S A                 (%20.10lf, %16.10lf)
  kPlaneDirect,      // x1 y1 S A            -> x2 y2               (%16.10lf ×2)
  kGaussForward,     // name B L H           -> name x y h          (%13.4lf ×3)
  kGaussInverse,     // name x y h           -> name B L h          (%16.10lf ×2, %13.4lf)
  kZoneChange,       // name x y h           -> name x2 y2 h        (%13.4lf ×3)
  kSevenApply,       // name X Y Z           -> name X' Y' Z'       (%13.5lf ×3)
  kFourApply,        // name x y             -> name x' y'          (%13.5lf ×2)
};

enum class FieldSeparator { kBlank, kComma, kSemicolon };

// The separator of a point file from its first (up to 100) lines that are not
// blank: semicolons when at least half of them hold one, else commas (also
// full-width) when at least half hold one, else blanks.
FieldSeparator DetectFieldSeparator(std::string_view head);

struct BatchFunctionInfo {
  BatchFunction function;
  const char* cli_name;     // "blh2xyz", …
  const char* button;       // the batch button of the window program
  const char* pattern;      // scanf pattern of an input line
  int fields;               // fields the pattern must read
  int min_length;           // lines of this many bytes or fewer are skipped
  const char* input_line;   // the input line, for help texts
  const char* output_line;  // the output line, for help texts
};

inline constexpr int kBatchFunctionCount = 11;
const BatchFunctionInfo& BatchInfo(BatchFunction function);
const BatchFunctionInfo* AllBatchFunctions();  // kBatchFunctionCount entries
// The function named `cli_name`, or null.
const BatchFunctionInfo* FindBatchFunction(std::string_view cli_name);

// What a batch run needs besides its files. Angles in the files are in the
// input unit (B, L, azimuths read) and the output unit (B, L, azimuths
// written); central meridians are decimal degrees.
struct BatchSettings {
  EllipsoidParams ellipsoid;  // WGS84
  AngleUnit inputUnit = kPackedDms;
  AngleUnit outputUnit = kPackedDms;
  double l0 = 0;   // central meridian; zone 1 of a zone change
  double l0_2 = 0; // zone 2 of a zone change
  double yConst = kDefaultYConstant;
  double xConst = 0;
  double b0 = 0;   // origin latitude, decimal degrees
  // Gauss projection zones: 0 projects about l0; 3 or 6 projects in zones
  // of that width. With zones, zoneFromPoint puts each point in its own
  // zone (l0 unused; the inverse then takes the zone from y's prefix), and
  // zonePrefix writes the zone number before y (forward). The inverse with
  // zones always reads y with its prefix.
  int zoneWidth = 0;
  bool exactProjection = false;  // Gauss forward and inverse with gauss_exact.h
  bool zoneFromPoint = false;
  bool zonePrefix = false;
  SevenParams seven;
  FourParams four;
};

enum class BatchStatus {
  kOk,
  kSameFile,            // output is the input file: refused, nothing written
  kOpenInputFailed,     // "打开文件错误!"
  kCreateOutputFailed,  // "创建文件错误!"
  kReadFailed,          // the input could not be read to its end
  kWriteFailed,         // the output could not be written; the target is unchanged
  kOutOfMemory,
};

// The catalogue text the caller shows for a status ("" for kOk).
const char* BatchStatusText(BatchStatus status);

enum class LineFailure {
  kNoConvergence,     // geodetic inverse problem did not settle
  kNegativeDistance,  // plane direct problem with S < 0
  kNotFinite,         // geodetic problem with an infinite or not-a-number input
  kNoZonePrefix,      // zone taken from y, but y carries no valid zone number
  kNotFiniteResult,   // a result came out infinite or not a number
  kTooShort,          // a line not longer than the function's minimum
  kMissingFields,     // a line without every field, or with one not a number
};
const char* LineFailureText(LineFailure reason);

struct BatchLineFailure {
  int64_t line = 0;  // 1-based line number in the input
  LineFailure reason = LineFailure::kNoConvergence;
};

struct BatchReport {
  BatchStatus status = BatchStatus::kOk;
  std::string detail;            // the system's reason for a file failure, with the path
  int64_t lines = 0;             // input lines read
  int64_t converted = 0;         // output lines written
  int64_t skipped = 0;           // too short or without every field, blank lines included
  int64_t unreadable = 0;        // of these the lines not empty or blank
  std::vector<BatchLineFailure> skips;  // the first kMaxListedFailures unreadable lines
  int64_t failed = 0;            // read but not computable
  std::vector<BatchLineFailure> failures;  // the first kMaxListedFailures of them
  int64_t zoneWarnings = 0;      // converted lines of a zone change whose
                                 // central meridians differ by more than 6°
  // Gauss projection in zones: points farther from their central meridian
  // than the zone allows, and prefixed y whose zone is not that of l0. Each
  // with the first line it happened on.
  FieldSeparator separator = FieldSeparator::kBlank;  // as detected in the input
  int64_t outsideZone = 0;
  int64_t firstOutsideZoneLine = 0;
  int64_t prefixMismatch = 0;
  int64_t firstPrefixMismatchLine = 0;
};
inline constexpr size_t kMaxListedFailures = 1000000;

// Runs `function` over the file `in_path` and writes `out_path`.
BatchReport RunBatchFile(BatchFunction function, const BatchSettings& settings,
                         const std::string& in_path, const std::string& out_path);

// The same over text in memory: appends the output to *output.
BatchReport RunBatchText(BatchFunction function, const BatchSettings& settings,
                         std::string_view input, std::string* output);

}  // namespace georeckon
