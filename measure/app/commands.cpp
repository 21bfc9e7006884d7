#include "measure/app/commands.h"

#include "common/strformat.h"
#include "measure/app/app_texts.h"
#include "measure/compute/distance_check.h"
#include "measure/compute/extraction_job.h"

namespace vistamet {

int RunAdjustment(CVistametDoc& doc, UserPrompt& prompt, Progress& progress,
                  const std::string& report_folder) {
  UserPrompt* previous = doc.Prompt();
  doc.SetPrompt(&prompt);
  const int ok = doc.BundleAdjust(AdjustmentReports(report_folder), &progress);
  doc.SetPrompt(previous);
  return ok;
}

BackgroundWork MakeExtractionWork(const CVistametDoc& doc, ExtractionScope scope) {
  if (doc.PhotoCount() == 0) return {};
  // The grey images are copied now: the work never reads the document.
  auto request = std::make_shared<ExtractionRequest>(MakeExtractionRequest(
      scope == ExtractionScope::kAllPhotos ? ExtractionKind::kAllPhotos
                                           : ExtractionKind::kAddedPhoto,
      doc.photoImages));
  return [request](const std::atomic<bool>& stop) -> DocumentEdit {
    auto result = std::make_shared<ExtractionResult>(RunExtraction(*request, &stop));
    if (!result->completed) return {};
    return [result](CVistametDoc& target) { target.FinishExtraction(std::move(*result)); };
  };
}

void RunDistanceTest(const CVistametDoc& doc, const std::string& known_file,
                     const std::string& report_folder, UserPrompt& prompt) {
  DistanceCheck check;
  std::string error;
  if (!RunDistanceCheck(known_file, doc.spacePoints, report_folder, &check, &error))
    prompt.Message(error, Icon::kError);
}

}  // namespace vistamet
