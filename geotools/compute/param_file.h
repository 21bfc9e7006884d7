// The parameter files of the two transformations: written by the solvers'
// "save" button, read by the apply dialogs' "import" button and by
// georeckon-cli.
//
// Seven parameters (one item per line):
//   Shift:
//   dX0: <%13.5lf>       (also dY0:, dZ0:)
//   Rotation:
//   θx: <%16.11lf>       (arc seconds; also θy:, θz:)
//   Scale:
//   dλ: <%16.11lf>
//   <empty line> ×2
//   所求参数使用的公共点为:
//   one line per common point: the name and each cell followed by five
//   blanks, five more blanks between source and target cells.
// Four parameters: dx0:, dy0: (%13.4lf, four decimals although the solver
// keeps five), dθ:, dλ: (%16.11lf), then the points likewise.
//
// The files are CP936 text (θ and λ are CP936 characters) unless a point
// name has no CP936 form; then the whole file is UTF-8. The reader accepts
// the labels in either encoding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geotools/compute/common_points.h"
#include "geotools/compute/four_params.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

std::string FormatSevenParamFile(const SevenParams& p, const std::vector<CommonPointRow>& rows);
std::string FormatFourParamFile(const FourParams& p, const std::vector<CommonPointRow>& rows);

// Saves the file atomically. False ("创建文件错误!") with *error set when it
// cannot be written.
bool WriteSevenParamFile(const std::string& path, const SevenParams& p,
                         const std::vector<CommonPointRow>& rows, std::string* error);
bool WriteFourParamFile(const std::string& path, const FourParams& p,
                        const std::vector<CommonPointRow>& rows, std::string* error);

enum class ParamFileStatus {
  kOk,
  kOpenFailed,   // "打开文件错误!"
  kWrongFormat,  // "请选择正确格式的文件！"
};

struct ParamFileResult {
  ParamFileStatus status = ParamFileStatus::kOk;
  int line = 0;        // first line that is not as expected (kWrongFormat)
  std::string detail;  // what was expected there, or why the file did not open
};

// Strict reading. Seven parameters: line 1 exactly "Shift:"; lines 2–4,
// trimmed, longer than 2 bytes, "%s %lf" reading the labels "dX0:", "dY0:",
// "dZ0:" and a finite number; line 5 exactly "Rotation:"; lines 6–8 "θx:",
// "θy:", "θz:"; line 9 exactly "Scale:"; line 10 "dλ:". Four parameters:
// "Shift:", "dx0:", "dy0:", "Rotation:", "dθ:", "Scale:", "dλ:". Lines are
// compared after their line end ("\n" or "\r\n") is removed; later lines are
// ignored. *out is set only when the whole file is right.
ParamFileResult ParseSevenParamFile(std::string_view bytes, SevenParams* out);
ParamFileResult ParseFourParamFile(std::string_view bytes, FourParams* out);
// The file is opened for reading only: a write-protected file reads as well.
ParamFileResult ReadSevenParamFile(const std::string& path, SevenParams* out);
ParamFileResult ReadFourParamFile(const std::string& path, FourParams* out);

}  // namespace georeckon
