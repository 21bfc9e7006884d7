#include "geotools/app/param_import.h"

#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/texts.h"

namespace georeckon {

bool ChooseParamFileToImport(wxWindow* parent, std::string* path) {
  FileRequest request;
  request.title = app_texts::kOpenTitle;
  request.filter = app_texts::kFilterText;
  return ChooseFile(parent, request, path);
}

bool ReportParamFileResult(wxWindow* parent, const ParamFileResult& result) {
  switch (result.status) {
    case ParamFileStatus::kOk:
      return true;
    case ParamFileStatus::kOpenFailed:
      ShowFailure(texts::kOpenFileError, result.detail, parent);
      return false;
    case ParamFileStatus::kWrongFormat:
      ShowMessage(result.detail.empty() ? std::string(texts::kWrongFormatFile)
                                        : std::string(texts::kWrongFormatFile) + "\n" +
                                              result.detail,
                  wxOK | wxICON_WARNING, parent);
      return false;
  }
  return false;
}

}  // namespace georeckon
