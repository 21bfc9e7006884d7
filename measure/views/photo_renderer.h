// Draws a photo at any zoom of the image view fast enough to pan and zoom
// a 6000 x 4000 photo smoothly. The zoom divisor d (photo pixels per screen
// pixel) is a power of two.
//
// - Reduced (d > 1): the reduction levels d = 2, 4, 8, ... are built once
//   per photo, each the 2 x 2 box average of the one before, on a worker
//   thread; a paint copies the visible part of its level. Until the levels
//   are ready, a paint samples the visible part from the photo directly.
// - d = 1 and enlarged (d < 1): only the photo pixels on screen are copied
//   (and enlarged by repetition).
// Every paint therefore costs in proportion to the window, not the photo.
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>

namespace vistamet {

class PhotoRenderer {
 public:
  // Without `reduce`, no reduction levels are built and every reduced
  // paint samples the photo (the first paints of a photo; benchmarks).
  explicit PhotoRenderer(bool reduce = true) : reduce_(reduce) {}
  ~PhotoRenderer();
  PhotoRenderer(const PhotoRenderer&) = delete;
  PhotoRenderer& operator=(const PhotoRenderer&) = delete;

  // Takes the photo (shared; nobody may write to its pixels afterwards) and
  // starts building its reduction levels. `ready` is
  // called on the worker thread when they are done (the owner posts a
  // repaint); never after Reset, a new SetPhoto or the destructor.
  void SetPhoto(const wxImage& photo, std::function<void()> ready = {});
  void Reset();
  bool Ok() const { return photo_.IsOk(); }
  const wxImage& Photo() const { return photo_; }

  // Draws the part `area` (logical pixels: photo pixels / d) of the photo at
  // divisor d, at its logical position.
  void Draw(wxDC& dc, const wxRect& area, double d);

  // Blocks until the reduction levels are built (tests and benchmarks).
  void WaitForLevels();
  bool LevelsReady() const { return ready_.load(std::memory_order_acquire); }

 private:
  struct Level {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
  };
  void Stop();
  const wxBitmap* LevelBitmap(int k);
  void DrawSampled(wxDC& dc, const wxRect& shown, double d);
  void DrawEnlarged(wxDC& dc, const wxRect& shown, double d);

  wxImage photo_;
  std::vector<Level> levels_;        // levels_[k - 1] is d = 2^k; the worker's
  std::vector<wxBitmap> bitmaps_;    // made from levels_ on first use
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  bool reduce_ = true;
};

}  // namespace vistamet
