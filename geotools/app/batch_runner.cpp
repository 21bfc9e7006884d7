#include "geotools/app/batch_runner.h"

#include <wx/utils.h>

#include "common/strformat.h"
#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/gauss.h"
#include "geotools/compute/texts.h"

namespace georeckon {

bool RunBatchButton(wxWindow* parent, BatchFunction function, const BatchSettings& settings,
                    const std::string& in_path, const std::string& out_path) {
  if (function == BatchFunction::kZoneChange && MeridiansFarApart(settings.l0, settings.l0_2)) {
    ShowMessage(texts::kMeridiansOver6, wxOK | wxICON_INFORMATION, parent);
  }
  BatchReport report;
  {
    wxBusyCursor busy;
    report = RunBatchFile(function, settings, in_path, out_path);
  }
  if (report.status != BatchStatus::kOk) {
    ShowError(BatchStatusText(report.status), parent);
    return false;
  }
  if (report.outsideZone > 0) {
    ShowMessage(common::StrFormat(app_texts::kZoneWarningLines, texts::kOutsideZone,
                                  static_cast<long long>(report.outsideZone),
                                  static_cast<long long>(report.firstOutsideZoneLine)),
                wxOK | wxICON_WARNING, parent);
  }
  if (report.prefixMismatch > 0) {
    ShowMessage(common::StrFormat(app_texts::kZoneWarningLines, texts::kPrefixMismatch,
                                  static_cast<long long>(report.prefixMismatch),
                                  static_cast<long long>(report.firstPrefixMismatchLine)),
                wxOK | wxICON_WARNING, parent);
  }
  if (report.failed > 0 && !report.failures.empty()) {
    const BatchLineFailure& first = report.failures.front();
    ShowMessage(common::StrFormat(app_texts::kLinesLeftOut, LineFailureText(first.reason),
                                  static_cast<long long>(report.failed),
                                  static_cast<long long>(first.line)),
                wxOK | wxICON_WARNING, parent);
  }
  OpenWithDefaultProgram(out_path);
  return true;
}

}  // namespace georeckon
