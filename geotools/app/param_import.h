// "导入参数" of the two apply dialogs: choosing a parameter file and telling
// the user why it was refused.
#pragma once

#include <string>

#include "geotools/compute/param_file.h"

class wxWindow;

namespace georeckon {

// The file-open chooser for a parameter file; false when cancelled.
bool ChooseParamFileToImport(wxWindow* parent, std::string* path);

// Shows "打开文件错误!" or "请选择正确格式的文件！" for a failed read;
// true when the file was read.
bool ReportParamFileResult(wxWindow* parent, const ParamFileResult& result);

// "导入参数" as a whole: the chooser, then `read(path, &params)`; *params
// changes only when a file was chosen and read. False otherwise, with the
// reason shown.
template <typename Params, typename Read>
bool ImportParamFile(wxWindow* parent, Read read, Params* params) {
  std::string path;
  if (!ChooseParamFileToImport(parent, &path)) return false;
  Params got;
  if (!ReportParamFileResult(parent, read(path, &got))) return false;
  *params = got;
  return true;
}

}  // namespace georeckon
