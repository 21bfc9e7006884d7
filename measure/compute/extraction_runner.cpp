#include "measure/compute/extraction_runner.h"

#include <memory>

#include <system_error>
#include <utility>

namespace vistamet {

ExtractionRunner::~ExtractionRunner() { Stop(); }

bool ExtractionRunner::Start(ExtractionRequest request, Completion done) {
  auto shared = std::make_shared<ExtractionRequest>(std::move(request));
  return Start([shared](const std::atomic<bool>* stop) { return RunExtraction(*shared, stop); },
               std::move(done));
}

bool ExtractionRunner::Start(Job job, Completion done) {
  return Run([job = std::move(job), done = std::move(done)](const std::atomic<bool>* stop) {
    ExtractionResult result = job(stop);
    if (result.completed == 1 && !stop->load(std::memory_order_acquire) && done)
      done(std::move(result));
  });
}

bool ExtractionRunner::Run(Task task) {
  if (OnWorker() || Running() || !task) return false;
  Join();  // a finished job's thread
  stop_.store(false, std::memory_order_relaxed);
  running_.store(true, std::memory_order_release);
  try {
    thread_ = std::thread([this, task = std::move(task)] {
      worker_.store(std::this_thread::get_id(), std::memory_order_relaxed);
      task(&stop_);
      worker_.store(std::thread::id(), std::memory_order_relaxed);
      running_.store(false, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    running_.store(false, std::memory_order_release);
    return false;
  }
  return true;
}

void ExtractionRunner::Stop() {
  stop_.store(true, std::memory_order_release);
  Join();
}

void ExtractionRunner::Wait() { Join(); }

bool ExtractionRunner::OnWorker() const {
  return worker_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void ExtractionRunner::Join() {
  // The completion runs on the worker thread, which cannot wait for itself.
  if (OnWorker() || !thread_.joinable()) return;
  thread_.join();
}

}  // namespace vistamet
