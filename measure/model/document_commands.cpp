#include "measure/model/document_commands.h"

#include "measure/compute/distance_check.h"

namespace vistamet {

void RunDistanceTest(const CVistametDoc& doc, const std::string& known_file,
                     const std::string& report_folder, UserPrompt& prompt) {
  DistanceCheck check;
  std::string error;
  if (!RunDistanceCheck(known_file, doc.spacePoints, report_folder, &check, &error))
    prompt.Message(error, Icon::kError);
}

}  // namespace vistamet
