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

}  // namespace georeckon
