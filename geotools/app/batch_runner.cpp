#include "geotools/app/batch_runner.h"

#include <wx/utils.h>

#include <algorithm>
#include <vector>

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
  const int64_t left_out = report.unreadable + report.failed;
  if (left_out > 0) {
    std::vector<BatchLineFailure> lines = report.skips;
    lines.insert(lines.end(), report.failures.begin(), report.failures.end());
    std::stable_sort(lines.begin(), lines.end(),
                     [](const BatchLineFailure& a, const BatchLineFailure& b) {
                       return a.line < b.line;
                     });
    std::string text = common::StrFormat(app_texts::kBatchSummary,
                                         static_cast<long long>(report.converted),
                                         static_cast<long long>(left_out));
    const size_t shown = std::min(lines.size(), static_cast<size_t>(app_texts::kBatchListedLines));
    for (size_t i = 0; i < shown; ++i) {
      text += "\n";
      text += common::StrFormat(app_texts::kBatchSkippedLine, static_cast<long long>(lines[i].line),
                                LineFailureText(lines[i].reason));
    }
    if (left_out > static_cast<int64_t>(shown)) {
      text += "\n";
      text += app_texts::kBatchMoreLines;
    }
    ShowMessage(text, wxOK | wxICON_WARNING, parent);
  }
  OpenWithDefaultProgram(out_path);
  return true;
}

}  // namespace georeckon
