// Progress of work on a worker thread, as the owner's thread sees it: the
// worker reports into it, the owner's window reads the latest report on its
// own clock and may ask the work to stop.
//
//   auto progress = std::make_shared<WorkProgress>();
//   // worker:  progress->Report(i, n, "整体平差"); if (progress->StopRequested()) ...
//   // owner:   WorkProgress::State s = progress->Latest(); ... progress->RequestStop();
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "measure/records/user_prompt.h"

namespace vistamet {

class WorkProgress : public Progress {
 public:
  struct State {
    int done = 0;
    int total = 0;
    std::string text;
    int reports = 0;  // how many reports came so far
  };

  void Report(int done, int total, std::string_view text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    state_.done = done;
    state_.total = total;
    if (!text.empty()) state_.text.assign(text.data(), text.size());
    ++state_.reports;
  }
  bool StopRequested() const override { return stop_.load(std::memory_order_acquire); }

  State Latest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
  }
  void RequestStop() { stop_.store(true, std::memory_order_release); }

 private:
  mutable std::mutex mutex_;
  State state_;
  std::atomic<bool> stop_{false};
};

}  // namespace vistamet
