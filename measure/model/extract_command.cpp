// The document's automatic target extraction: the worker computes into its
// own lists; the finished lists are swapped in on the document's thread.
#include "measure/compute/extraction_runner.h"
#include "measure/records/texts.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

CVistametDoc::ExtractionSlot::ExtractionSlot()
    : runner(std::make_unique<ExtractionRunner>()), alive(std::make_shared<char>()) {}

CVistametDoc::ExtractionSlot::~ExtractionSlot() {
  // Stop and join before the document's lists go away.
  if (runner) runner->Stop();
}

int CVistametDoc::StartExtraction(ExtractionKind kind, const PostToOwner& post) {
  if (extractionRunning || PhotoCount() == 0 || !post) return 0;
  ExtractionRequest request = MakeExtractionRequest(kind, photoImages);
  request.targets = targetOptions;
  std::weak_ptr<char> alive = extraction_.alive;
  // The completion runs on the worker: it only hands the result over.
  auto done = [this, alive, post](ExtractionResult result) {
    auto shared = std::make_shared<ExtractionResult>(std::move(result));
    post([this, alive, shared] {
      if (alive.expired()) return;
      FinishExtraction(std::move(*shared));
    });
  };
  extractionRunning = 1;
  targetsExtracted = 0;
  adjusted = 0;
  if (!extraction_.runner->Start(std::move(request), done)) {
    extractionRunning = 0;
    return 0;
  }
  return 1;
}

int CVistametDoc::ExtractNow(ExtractionKind kind) {
  if (extractionRunning || PhotoCount() == 0) return 0;
  extractionRunning = 1;
  ExtractionRequest request = MakeExtractionRequest(kind, photoImages);
  request.targets = targetOptions;
  return FinishExtraction(RunExtraction(request));
}

void CVistametDoc::StopExtraction() {
  extraction_.runner->Stop();
  // A result already posted must not land any more.
  extraction_.alive = std::make_shared<char>();
  extractionRunning = 0;
}

int CVistametDoc::FinishExtraction(ExtractionResult&& result) {
  extractionRunning = 0;
  if (!ApplyExtraction(std::move(result), PhotoCount(), imagePoints, spacePoints, distancePairs,
                       targetsExtracted, adjusted))
    return 0;
  highlightList.clear();
  SetModified();
  // New points for every window: the image, the strip and the data list.
  UpdateViews(ViewUpdate::kAll);
  return 1;
}

int CVistametDoc::ExtractTargetsCommand(const PostToOwner& post) {
  if (extractionRunning) return 0;
  if (ExtractionCommandAsks() && !AskYesNo(text::kReextractQuestion, text::kProgramName))
    return 0;
  return StartExtraction(ExtractionKind::kAllPhotos, post);
}

int CVistametDoc::ExtractAfterOpen(const PostToOwner& post) {
  if (!ExtractionDueAfterOpen() || extractionRunning) return 0;
  if (HoldsMeasurements() && !AskYesNo(text::kReextractQuestion, text::kProgramName)) return 0;
  return StartExtraction(ExtractionKind::kAllPhotos, post);
}

}  // namespace vistamet
