// The decoded pixels of photos, kept while they fit in a budget of bytes
// and decoded again when needed after being dropped. One cache serves the
// whole process: views, thumbnails, extraction and matching all ask it, so
// memory stays within the budget plus the photos someone still holds.
//
// Entries are keyed by path and checked against the file's size and
// modification time on every lookup, so a photo replaced on disk is decoded
// again. Safe to use from several threads; decoding happens outside the
// lock.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "measure/records/records.h"

namespace vistamet {

constexpr int64_t kDefaultPhotoCacheBytes = int64_t{1} << 30;

class PhotoCache {
 public:
  explicit PhotoCache(int64_t budget_bytes = kDefaultPhotoCacheBytes);

  // The process's cache.
  static PhotoCache& Shared();

  void SetBudget(int64_t bytes);
  int64_t Budget() const;
  // Bytes held by the cached entries now.
  int64_t Held() const;

  // The photo at `path`, with its colour rows when `colour` (else at least
  // its grey image). Null with *error when the file cannot be decoded.
  std::shared_ptr<const ImageHolder> Get(const std::string& path, bool colour,
                                         std::string* error = nullptr);

  void Clear();
  // How many decodes were made so far (tests and benchmarks).
  int64_t Decodes() const;

 private:
  struct Entry {
    std::string path;
    int64_t fileSize = 0;
    int64_t modifiedNs = 0;
    std::shared_ptr<const ImageHolder> image;
    int64_t bytes = 0;
  };
  void TrimLocked();

  mutable std::mutex mu_;
  std::list<Entry> entries_;  // most recently used first
  int64_t budget_;
  int64_t held_ = 0;
  int64_t decodes_ = 0;
};

// Bytes of pixels an ImageHolder keeps.
int64_t PixelBytes(const ImageHolder& image);

}  // namespace vistamet
