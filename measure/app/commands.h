// The project commands whose computations live in the core: the bundle
// adjustment, the target extraction and the distance test. The windows call
// only these functions, so each command behaves the same with or without a
// window.
#pragma once

#include <string>

#include "measure/app/background_worker.h"
#include "measure/model/user_prompt.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

// The bundle adjustment of the whole project (Ctrl+Enter). Reports its
// progress through `progress` and its messages through `prompt`; writes the
// reports into `report_folder`. Returns 1 on success: the caller then
// refreshes every view and shows the completion line in the status bar.
int RunAdjustment(CVistametDoc& doc, UserPrompt& prompt, Progress& progress,
                  const std::string& report_folder);

enum class ExtractionScope {
  kAllPhotos,  // replaces the measurement data of the whole project
  kLastPhoto,  // adds the targets of a newly added photo
};

// The target extraction as work for a BackgroundWorker: copies what it needs
// from `doc` now; its edit puts the found points into the document and sets
// the document's flags and modified state. Empty work when there is nothing
// to extract.
BackgroundWork MakeExtractionWork(const CVistametDoc& doc, ExtractionScope scope);

// The distance test against the known distances in `known_file`; writes its
// report into `report_folder`.
void RunDistanceTest(const CVistametDoc& doc, const std::string& known_file,
                     const std::string& report_folder, UserPrompt& prompt);

}  // namespace vistamet
