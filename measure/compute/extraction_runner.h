// Runs one job of the document's background work on a worker thread: the
// target extraction, or any other task (the bundle adjustment).
//
//   runner.Start(MakeExtractionRequest(kind, images),
//                [](ExtractionResult r) { /* hand r to the owner's thread */ });
//
// The completion is called once, on the worker thread, with the finished
// result; the owner hands it to the thread that owns the project's lists
// and applies it there (ApplyExtraction). A stopped job calls nothing.
// Stop() asks the job to stop and waits for the thread; the destructor does
// the same, so an owner that goes away while the job runs is never called
// back afterwards. Start, Stop and Wait belong to one owning thread and
// must not be called from the completion itself (they refuse to wait for
// the thread they run on).
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "measure/compute/extraction_job.h"

namespace vistamet {

class ExtractionRunner {
 public:
  using Completion = std::function<void(ExtractionResult)>;

  ExtractionRunner() = default;
  ~ExtractionRunner();
  ExtractionRunner(const ExtractionRunner&) = delete;
  ExtractionRunner& operator=(const ExtractionRunner&) = delete;

  // Starts the job on a new thread. Returns false, starting nothing, while
  // a job runs, when called from the completion, or when no thread could be
  // created.
  bool Start(ExtractionRequest request, Completion done);
  // The same for a job that gathers its photos itself (decoding them on the
  // worker as it goes); it must honour `stop`.
  using Job = std::function<ExtractionResult(const std::atomic<bool>* stop)>;
  bool Start(Job job, Completion done);
  // Any other work: the task runs on the worker and hands over its own
  // result (it is called even when stopped, and must honour `stop`).
  using Task = std::function<void(const std::atomic<bool>* stop)>;
  bool Run(Task task);

  // Asks a running job to stop and waits until its thread has ended. After
  // it returns the completion is not running and will not be called. Does
  // nothing when idle.
  void Stop();

  // Waits until the job's thread has ended, without stopping it.
  void Wait();

  // True from Start until the job's thread has finished (completion
  // included). Any thread may ask.
  bool Running() const { return running_.load(std::memory_order_acquire); }

 private:
  void Join();
  bool OnWorker() const;

  std::thread thread_;                  // touched by the owning thread only
  std::atomic<std::thread::id> worker_;  // the job's thread while it runs
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
};

}  // namespace vistamet
