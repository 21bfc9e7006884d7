#pragma once

#include <string_view>

#include "measure/records/user_prompt.h"

namespace vistamet {

class CMainFrame;

// Progress of long work in the main frame's status bar for as long as the
// object lives.
class CStatusProgress : public Progress {
 public:
  explicit CStatusProgress(CMainFrame* frame) : frame_(frame) {}
  ~CStatusProgress() override;
  void Report(int done, int total, std::string_view text) override;

 private:
  CMainFrame* frame_;
};

}  // namespace vistamet
