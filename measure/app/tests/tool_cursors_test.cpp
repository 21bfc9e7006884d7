// The image view's cursors: the drawn pictures, their hot spots, and the
// cursors made from them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measure/views/tool_cursors.h"

namespace vistamet::test {
namespace {

struct Drawn {
  ToolCursor kind;
  const char* name;
  wxPoint hotSpot;
  bool crossHair;  // the click position is the centre of a cross-hair
};

const Drawn kDrawn[] = {
    {ToolCursor::kEdit, "edit", {14, 14}, true},
    {ToolCursor::kClearNumber, "clear number", {16, 15}, false},
    {ToolCursor::kDeleteSpacePoint, "delete space point", {16, 15}, false},
    {ToolCursor::kDelete, "delete", {7, 3}, false},
    {ToolCursor::kAdd, "add", {14, 14}, false},
    {ToolCursor::kOccupied, "occupied", {15, 15}, false},
    {ToolCursor::kDistance, "distance", {14, 14}, true},
    {ToolCursor::kDistanceHit, "distance hit", {14, 14}, true},
    {ToolCursor::kRectangle, "rectangle", {14, 14}, true},
    {ToolCursor::kPlanePoint, "plane point", {7, 3}, false},
    {ToolCursor::kPlanePointHit, "plane point hit", {17, 6}, true},
};

// The picture's colour and alpha bytes, for telling pictures apart.
std::string Pixels(const wxImage& image) {
  const size_t n = static_cast<size_t>(image.GetWidth()) * image.GetHeight();
  std::string bytes(reinterpret_cast<const char*>(image.GetData()), n * 3);
  bytes.append(reinterpret_cast<const char*>(image.GetAlpha()), n);
  return bytes;
}

TEST(ToolCursors, PicturesHotSpotsAndLooks) {
  EXPECT_FALSE(CursorImage(ToolCursor::kUnchanged).IsOk());
  EXPECT_FALSE(CursorImage(ToolCursor::kCross).IsOk());

  std::vector<std::string> seen;
  for (const Drawn& d : kDrawn) {
    SCOPED_TRACE(d.name);
    const wxImage image = CursorImage(d.kind);
    ASSERT_TRUE(image.IsOk());
    ASSERT_EQ(image.GetSize(), wxSize(32, 32));
    ASSERT_TRUE(image.HasAlpha());

    EXPECT_EQ(CursorHotSpot(d.kind), d.hotSpot);
    EXPECT_EQ(image.GetOptionInt(wxIMAGE_OPTION_CUR_HOTSPOT_X), d.hotSpot.x);
    EXPECT_EQ(image.GetOptionInt(wxIMAGE_OPTION_CUR_HOTSPOT_Y), d.hotSpot.y);
    // Every drawing covers its click position; a cross-hair must, or the
    // user would not see where he clicks.
    EXPECT_EQ(image.GetAlpha(d.hotSpot.x, d.hotSpot.y), wxIMAGE_ALPHA_OPAQUE) << "cross-hair: " << d.crossHair;

    int opaque = 0, clear = 0, light = 0, dark = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const unsigned char a = image.GetAlpha(x, y);
        EXPECT_TRUE(a == wxIMAGE_ALPHA_OPAQUE || a == wxIMAGE_ALPHA_TRANSPARENT) << x << "," << y;
        if (a != wxIMAGE_ALPHA_OPAQUE) {
          ++clear;
          continue;
        }
        ++opaque;
        const int luma = (299 * image.GetRed(x, y) + 587 * image.GetGreen(x, y) + 114 * image.GetBlue(x, y)) / 1000;
        (luma >= 128 ? light : dark)++;
      }
    }
    EXPECT_GT(clear, 32 * 32 / 2);
    EXPECT_GT(opaque, 20);
    // Something light shows on a dark photo, something dark on a light one.
    EXPECT_GT(light, 0);
    EXPECT_GT(dark, 0);

    const std::string pixels = Pixels(image);
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_NE(pixels, seen[i]) << "same picture as " << kDrawn[i].name;
    seen.push_back(pixels);
  }
}

TEST(ToolCursors, CursorsMadeOnceAndKept) {
  EXPECT_EQ(&CursorFor(ToolCursor::kUnchanged), &wxNullCursor);
  EXPECT_FALSE(CursorFor(ToolCursor::kUnchanged).IsOk());
  EXPECT_EQ(&CursorFor(ToolCursor::kCross), wxCROSS_CURSOR);
  EXPECT_TRUE(CursorFor(ToolCursor::kCross).IsOk());

  std::vector<const wxCursor*> made;
  for (const Drawn& d : kDrawn) {
    SCOPED_TRACE(d.name);
    const wxCursor& cursor = CursorFor(d.kind);
    EXPECT_TRUE(cursor.IsOk());
    EXPECT_EQ(&CursorFor(d.kind), &cursor);
    for (const wxCursor* other : made) EXPECT_NE(other, &cursor);
    made.push_back(&cursor);
  }
  EXPECT_EQ(&StripHandCursor(), &CursorFor(ToolCursor::kPlanePoint));
}

}  // namespace
}  // namespace vistamet::test
