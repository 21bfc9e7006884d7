// The distance test as the windows run it, with their own prompt, so that it
// behaves the same with or without a window. (The windows run the bundle
// adjustment through CVistametDoc::StartAdjustment.)
#pragma once

#include <string>

#include "measure/records/user_prompt.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

// The distance test against the known distances in `known_file`; writes its
// report into `report_folder`.
void RunDistanceTest(const CVistametDoc& doc, const std::string& known_file,
                     const std::string& report_folder, UserPrompt& prompt);

}  // namespace vistamet
