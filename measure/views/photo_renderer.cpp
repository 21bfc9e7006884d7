#include "measure/views/photo_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>

#include <wx/dcmemory.h>

namespace vistamet {

namespace {

// Down to d = 128, the largest divisor of the image view.
constexpr int kLevels = 7;

// One 2 x 2 box reduction: pixel (x, y) of the result is the mean of pixels
// (2x..2x+1, 2y..2y+1) of the source, rounded half up.
void Halve(const unsigned char* src, int w, int h, std::vector<unsigned char>* out, int* ow,
           int* oh, const std::atomic<bool>& stop) {
  *ow = w / 2;
  *oh = h / 2;
  out->assign(static_cast<size_t>(*ow) * *oh * 3, 0);
  const size_t stride = static_cast<size_t>(w) * 3;
  for (int y = 0; y < *oh && !stop.load(std::memory_order_relaxed); ++y) {
    const unsigned char* a = src + 2 * y * stride;
    const unsigned char* b = a + stride;
    unsigned char* o = out->data() + static_cast<size_t>(y) * *ow * 3;
    for (int x = 0; x < *ow; ++x, a += 6, b += 6, o += 3)
      for (int c = 0; c < 3; ++c) o[c] = static_cast<unsigned char>((a[c] + a[c + 3] + b[c] + b[c + 3] + 2) / 4);
  }
}

}  // namespace

PhotoRenderer::~PhotoRenderer() { Stop(); }

void PhotoRenderer::Stop() {
  stop_.store(true, std::memory_order_release);
  if (worker_.joinable()) worker_.join();
  stop_.store(false, std::memory_order_release);
}

void PhotoRenderer::Reset() {
  Stop();
  ready_.store(false, std::memory_order_release);
  levels_.clear();
  bitmaps_.clear();
  photo_ = wxImage();
}

void PhotoRenderer::SetPhoto(const wxImage& photo, std::function<void()> ready) {
  Reset();
  if (!photo.IsOk()) return;
  // Shared, never written: the worker reads the pixels while the windows'
  // thread draws from them.
  photo_ = photo;
  const unsigned char* pixels = photo_.GetData();
  const int w = photo_.GetWidth(), h = photo_.GetHeight();
  if (!reduce_) return;
  // std::thread reports a failure to start by throwing; without the worker
  // every reduced paint samples the photo directly, which is still correct.
  try {
    worker_ = std::thread([this, pixels, w, h, ready = std::move(ready)] {
      std::vector<Level> levels;
      const unsigned char* src = pixels;
      int sw = w, sh = h;
      for (int k = 1; k <= kLevels && sw >= 2 && sh >= 2; ++k) {
        Level level;
        Halve(src, sw, sh, &level.rgb, &level.width, &level.height, stop_);
        if (stop_.load(std::memory_order_acquire)) return;
        levels.push_back(std::move(level));
        src = levels.back().rgb.data();
        sw = levels.back().width;
        sh = levels.back().height;
      }
      levels_ = std::move(levels);
      ready_.store(true, std::memory_order_release);
      if (ready) ready();
    });
  } catch (const std::system_error&) {
  }
}

void PhotoRenderer::WaitForLevels() {
  if (worker_.joinable()) worker_.join();
}

const wxBitmap* PhotoRenderer::LevelBitmap(int k) {
  if (!LevelsReady() || k < 1 || k > static_cast<int>(levels_.size())) return nullptr;
  if (bitmaps_.size() != levels_.size()) bitmaps_.resize(levels_.size());
  wxBitmap& bitmap = bitmaps_[k - 1];
  if (!bitmap.IsOk()) {
    Level& level = levels_[k - 1];
    const wxImage image(level.width, level.height, level.rgb.data(), true);
    bitmap = wxBitmap(image);
  }
  return bitmap.IsOk() ? &bitmap : nullptr;
}

void PhotoRenderer::Draw(wxDC& dc, const wxRect& area, double d) {
  if (!photo_.IsOk() || !(d > 0)) return;
  const int w = static_cast<int>(photo_.GetWidth() / d);
  const int h = static_cast<int>(photo_.GetHeight() / d);
  const wxRect shown = area.Intersect(wxRect(0, 0, w, h));
  if (shown.IsEmpty()) return;
  if (d < 1.0) {
    DrawEnlarged(dc, shown, d);
    return;
  }
  if (d > 1.0) {
    const int k = static_cast<int>(std::lround(std::log2(d)));
    if (const wxBitmap* level = LevelBitmap(k)) {
      wxMemoryDC source;
      source.SelectObjectAsSource(*level);
      dc.Blit(shown.x, shown.y, shown.width, shown.height, &source, shown.x, shown.y);
      return;
    }
  }
  DrawSampled(dc, shown, d);
}

void PhotoRenderer::DrawSampled(wxDC& dc, const wxRect& shown, double d) {
  const int pw = photo_.GetWidth(), ph = photo_.GetHeight();
  const unsigned char* src = photo_.GetData();
  wxImage part(shown.width, shown.height, false);
  unsigned char* out = part.GetData();
  std::vector<int> columns(shown.width);
  for (int sx = 0; sx < shown.width; ++sx)
    columns[sx] = std::min(pw - 1, static_cast<int>((shown.x + sx) * d)) * 3;
  for (int sy = 0; sy < shown.height; ++sy) {
    const int py = std::min(ph - 1, static_cast<int>((shown.y + sy) * d));
    const unsigned char* row = src + static_cast<size_t>(py) * pw * 3;
    if (d == 1.0) {
      std::memcpy(out, row + columns[0], static_cast<size_t>(shown.width) * 3);
      out += static_cast<size_t>(shown.width) * 3;
      continue;
    }
    for (int sx = 0; sx < shown.width; ++sx, out += 3) std::memcpy(out, row + columns[sx], 3);
  }
  dc.DrawBitmap(wxBitmap(part), shown.x, shown.y);
}

void PhotoRenderer::DrawEnlarged(wxDC& dc, const wxRect& shown, double d) {
  // Scale only the photo pixels that are on screen.
  const int px0 = static_cast<int>(shown.x * d);
  const int py0 = static_cast<int>(shown.y * d);
  const int px1 = std::min(photo_.GetWidth(), static_cast<int>(std::ceil(shown.GetRight() * d)) + 1);
  const int py1 = std::min(photo_.GetHeight(), static_cast<int>(std::ceil(shown.GetBottom() * d)) + 1);
  if (px1 <= px0 || py1 <= py0) return;
  const wxImage part = photo_.GetSubImage(wxRect(px0, py0, px1 - px0, py1 - py0));
  const int sw = static_cast<int>((px1 - px0) / d), sh = static_cast<int>((py1 - py0) / d);
  if (sw <= 0 || sh <= 0) return;
  dc.DrawBitmap(wxBitmap(part.Scale(sw, sh, wxIMAGE_QUALITY_NEAREST)),
                static_cast<int>(px0 / d + 0.5), static_cast<int>(py0 / d + 0.5));
}

}  // namespace vistamet
