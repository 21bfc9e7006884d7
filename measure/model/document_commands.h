// The project commands that the windows run with their own prompt and
// progress: the bundle adjustment and the distance test. The windows call
// only these functions, so each command behaves the same with or without a
// window.
#pragma once

#include <string>

#include "measure/records/user_prompt.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

// The bundle adjustment of the whole project (Ctrl+Enter). Reports its
// progress through `progress` and its messages through `prompt`; writes the
// reports into `report_folder`. Returns 1 on success: the caller then
// refreshes every view and shows the completion line in the status bar.
int RunAdjustment(CVistametDoc& doc, UserPrompt& prompt, Progress& progress,
                  const std::string& report_folder);

// The distance test against the known distances in `known_file`; writes its
// report into `report_folder`.
void RunDistanceTest(const CVistametDoc& doc, const std::string& known_file,
                     const std::string& report_folder, UserPrompt& prompt);

}  // namespace vistamet
