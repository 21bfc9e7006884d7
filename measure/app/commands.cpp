#include "measure/app/commands.h"

#include "measure/app/app_texts.h"

namespace vistamet {

// These three commands are connected to their computations as those become
// available; until then each tells the user so and changes nothing.

int RunAdjustment(CVistametDoc&, UserPrompt& prompt, Progress&, const std::string&) {
  prompt.Message(ui::kNotYetAvailable, Icon::kInformation);
  return 0;
}

BackgroundWork MakeExtractionWork(const CVistametDoc&, ExtractionScope) { return {}; }

void RunDistanceTest(const CVistametDoc&, const std::string&, const std::string&,
                     UserPrompt& prompt) {
  prompt.Message(ui::kNotYetAvailable, Icon::kInformation);
}

}  // namespace vistamet
