#include "measure/app/background_worker.h"

#include <system_error>

namespace vistamet {

bool BackgroundWorker::Start(BackgroundWork work, Finished finished) {
  if (!work || thread_.joinable()) return false;
  stop_.store(false, std::memory_order_release);
  running_.store(true, std::memory_order_release);
  // std::thread reports a failure to create the thread by throwing; that is
  // the one place where the library leaves us no other way to learn it.
  try {
    thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
      DocumentEdit edit = work(stop_);
      if (!stop_.load(std::memory_order_acquire) && finished) finished(std::move(edit));
      running_.store(false, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    running_.store(false, std::memory_order_release);
    return false;
  }
  return true;
}

void BackgroundWorker::Stop() {
  stop_.store(true, std::memory_order_release);
  Join();
}

void BackgroundWorker::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace vistamet
