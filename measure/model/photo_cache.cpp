#include "measure/model/photo_cache.h"

#include <sys/stat.h>

#include "measure/model/photo_file.h"

namespace vistamet {

namespace {

bool FileStamp(const std::string& path, int64_t* size, int64_t* modified) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *size = static_cast<int64_t>(st.st_size);
  *modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

}  // namespace

int64_t PixelBytes(const ImageHolder& image) {
  return static_cast<int64_t>(image.dib.capacity() + image.grey.capacity() +
                              image.palette.capacity() * sizeof(uint32_t));
}

PhotoCache::PhotoCache(int64_t budget_bytes) : budget_(budget_bytes) {}

PhotoCache& PhotoCache::Shared() {
  static PhotoCache* cache = new PhotoCache();
  return *cache;
}

void PhotoCache::SetBudget(int64_t bytes) {
  std::lock_guard<std::mutex> lock(mu_);
  budget_ = bytes < 0 ? 0 : bytes;
  TrimLocked();
}

int64_t PhotoCache::Budget() const {
  std::lock_guard<std::mutex> lock(mu_);
  return budget_;
}

int64_t PhotoCache::Held() const {
  std::lock_guard<std::mutex> lock(mu_);
  return held_;
}

int64_t PhotoCache::Decodes() const {
  std::lock_guard<std::mutex> lock(mu_);
  return decodes_;
}

void PhotoCache::Clear() {
  std::lock_guard<std::mutex> lock(mu_);
  entries_.clear();
  held_ = 0;
}

void PhotoCache::TrimLocked() {
  // The least recently used go first; the newest entry stays even when it
  // alone is over the budget (its user holds it anyway).
  while (held_ > budget_ && entries_.size() > 1) {
    held_ -= entries_.back().bytes;
    entries_.pop_back();
  }
  if (budget_ == 0 && !entries_.empty()) {
    held_ = 0;
    entries_.clear();
  }
}

std::shared_ptr<const ImageHolder> PhotoCache::Get(const std::string& path, bool colour,
                                                   std::string* error) {
  int64_t size = 0, modified = 0;
  const bool stamped = FileStamp(path, &size, &modified);
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->path != path) continue;
      if (!stamped || it->fileSize != size || it->modifiedNs != modified ||
          (colour && it->image->dib.empty())) {
        held_ -= it->bytes;
        entries_.erase(it);
        break;
      }
      entries_.splice(entries_.begin(), entries_, it);
      return it->image;
    }
  }
  DecodeOptions options;
  options.colour = colour;
  auto image = std::make_shared<ImageHolder>();
  PhotoInfo info;
  if (!LoadPhotoFile(path, options, image.get(), error, &info)) return nullptr;
  Entry e;
  e.path = path;
  e.fileSize = info.fileSize;
  e.modifiedNs = info.modifiedNs;
  e.bytes = PixelBytes(*image);
  e.image = image;
  std::lock_guard<std::mutex> lock(mu_);
  ++decodes_;
  // Another thread may have decoded the same photo meanwhile.
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->path == path) {
      held_ -= it->bytes;
      entries_.erase(it);
      break;
    }
  }
  held_ += e.bytes;
  entries_.push_front(std::move(e));
  TrimLocked();
  return image;
}

}  // namespace vistamet
