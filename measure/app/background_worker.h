// One piece of work on a thread of its own, for the long computations that
// must not block the windows (the target extraction).
//
// The work never touches the project's lists: it computes from its own
// copies and returns a DocumentEdit, which the owner runs on the thread that
// owns the document (the windows' thread) to put the result in.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace vistamet {

class CVistametDoc;

// A change of the document made on the windows' thread with the result of
// finished work. An empty edit changes nothing.
using DocumentEdit = std::function<void(CVistametDoc&)>;

// Work run off the windows' thread. It checks `stop` regularly and returns
// early (with an empty edit) when it becomes true.
using BackgroundWork = std::function<DocumentEdit(const std::atomic<bool>& stop)>;

class BackgroundWorker {
 public:
  // Called once on the worker thread with the finished work's edit; never
  // called for work that was stopped.
  using Finished = std::function<void(DocumentEdit)>;

  BackgroundWorker() = default;
  ~BackgroundWorker() { Stop(); }
  BackgroundWorker(const BackgroundWorker&) = delete;
  BackgroundWorker& operator=(const BackgroundWorker&) = delete;

  // Starts `work` on a new thread. False (nothing started) while earlier
  // work has not been joined, for empty work, or when no thread could be
  // created.
  bool Start(BackgroundWork work, Finished finished);

  // Asks running work to stop and waits for its thread. Afterwards the
  // completion is neither running nor will it be called. Idle: nothing.
  void Stop();

  // Waits for the thread without asking it to stop.
  void Join();

  // True from Start until the work (and its completion) has returned.
  bool Running() const { return running_.load(std::memory_order_acquire); }

 private:
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
};

}  // namespace vistamet
