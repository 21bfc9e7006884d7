// The user, as the command-line program plays it: messages go to stderr,
// questions are answered No, dialogs are cancelled.
#pragma once

#include "measure/records/user_prompt.h"

namespace vistamet::cli {

class CliPrompt : public UserPrompt {
 public:
  void Message(std::string_view text, Icon icon) override;
  bool AskYesNo(std::string_view text, std::string_view caption, Icon icon) override;
  bool EditSpacePoint(SpacePoint& record) override;
  bool AskOffset(double& x, double& y, double& z) override;
};

// Progress on stderr. After StopOnInterrupt, the first Ctrl+C asks the
// work to stop (a second one ends the program at once).
class CliProgress : public Progress {
 public:
  void Report(int done, int total, std::string_view text) override;
  bool StopRequested() const override;
  static void StopOnInterrupt();
};

}  // namespace vistamet::cli
