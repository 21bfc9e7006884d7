// The 3D model window of a project: the space points (control points apart)
// and the measured distances in a perspective OpenGL view with an axis
// cross, turned by dragging, moved by the window's menu, the keys and the
// wheel. Each window keeps its own model and camera and rebuilds its model
// when the project changes.
#pragma once

#include <vector>

#include <wx/glcanvas.h>

#include "measure/shell/model_3d.h"
#include "measure/views/plain_doc_view.h"

namespace vistamet {

class CModelCanvas : public wxGLCanvas {
 public:
  explicit CModelCanvas(wxWindow* parent);
  ~CModelCanvas() override;

  void SetModel(Model3D model);
  const Model3D& Model() const { return model_; }
  Camera3D& Camera() { return camera_; }
  void Move(CameraMove move);

  // Draws one frame now; false when no GL context could be made.
  bool DrawFrame();
  // Draws a frame and reads it back (RGB rows from the bottom), without
  // showing it: for tests and the benchmark. Empty without a context.
  std::vector<unsigned char> ReadFrame(int* width, int* height);
  // The point under a client position, or -1 (the tooltip of the view).
  int PointAt(const wxPoint& client);

 private:
  void OnPaint(wxPaintEvent& event);
  void OnKey(wxKeyEvent& event);
  void OnMouse(wxMouseEvent& event);
  bool MakeCurrent();
  void SetUpProjection();
  bool Render();

  wxGLContext* context_ = nullptr;
  Model3D model_;
  Camera3D camera_;
  wxPoint last_;
  bool set_up_ = false;
};

class COGLView : public CPlainDocView {
 public:
  COGLView();
  ViewKind Kind() const override { return ViewKind::kModel3D; }
  void OnUpdate(wxView* sender, wxObject* hint) override;
  CModelCanvas* Canvas() const { return canvas_; }

 protected:
  wxWindow* MakeContent(wxDocMDIChildFrame* frame) override;

 private:
  CModelCanvas* canvas_ = nullptr;

  wxDECLARE_DYNAMIC_CLASS(COGLView);
};

}  // namespace vistamet
