// The 3D model window's data apart from any window or drawing library: the
// space points and the measured distances normalised to a model of ten
// units, and the camera that the keys, the menu and the mouse move. Each
// window keeps its own model and camera.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

struct Vec3 {
  float x = 0, y = 0, z = 0;
  bool operator==(const Vec3&) const = default;
};

struct Model3D {
  std::vector<Vec3> points;       // one per space point, in list order
  std::vector<int32_t> numbers;   // their point numbers
  std::vector<uint8_t> control;   // 1 for a control point
  std::vector<Vec3> segments;     // two vertices per distance with both ends
  double scale = 1;               // millimetres per model unit
};

// The model of the project's space points: centred on their mean, the
// largest extent 10 units; object Z up the screen's y axis, object Y into
// the screen. No points, one point or points all in one place give a scale
// of 1 mm a unit (never a division by zero).
Model3D BuildModel3D(const CVistametDoc& doc);

// What moves the camera.
enum class CameraMove {
  kLeft,         // "<-" and the left arrow
  kRight,        // "->" and the right arrow
  kUp,           // "Up"
  kDown,         // "Down"
  kNearer,       // "+": a tenth of a unit
  kFarther,      // "-"
  kReset,        // "Reset"
  kPageUp,       // a unit up
  kPageDown,     // a unit down
  kForward,      // up arrow: along the view
  kBackward,     // down arrow
  kUnitNearer,   // the + key: a whole unit
  kUnitFarther,  // the - key
};

struct Camera3D {
  float camX = 0, camY = 1, camZ = 9;
  float rotX = 30, rotY = -10;  // degrees

  void Move(CameraMove move);
  // Dragging with the left button: one degree a pixel.
  void Rotate(int dx, int dy) {
    rotX += static_cast<float>(dy);
    rotY += static_cast<float>(dx);
  }
  // Wheel steps towards (positive) or away from the model; never through it.
  void Zoom(int steps);
  // Dragging with the middle button: the camera slides sideways and up.
  void Pan(int dx, int dy);
};

}  // namespace vistamet
