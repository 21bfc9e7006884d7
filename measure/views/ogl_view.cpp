#include "measure/views/ogl_view.h"

#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>
#include <wx/dcclient.h>
#include <wx/docmdi.h>
#include <wx/menu.h>
#include <wx/tooltip.h>

#include "measure/app/command_ids.h"
#include "measure/app/project_document.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

// Double-buffered RGBA with a depth buffer.
wxGLAttributes CanvasAttributes() {
  wxGLAttributes attributes;
  attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(16).EndList();
  return attributes;
}

void DrawLines(const float (*lines)[6], int count) {
  glBegin(GL_LINES);
  for (int i = 0; i < count; ++i) {
    glVertex3f(lines[i][0], lines[i][1], lines[i][2]);
    glVertex3f(lines[i][3], lines[i][4], lines[i][5]);
  }
  glEnd();
}

// The axis cross: the model's -z (object Y) as the north arrow with an N,
// x to the right, the vertical without a head.
void DrawAxes() {
  static const float kRedAxes[][6] = {
      {0, 0, 0, 0, 0, -6},     {0, 0, -6, 0.2f, 0, -5.3f}, {0, 0, -6, -0.2f, 0, -5.3f},
      {0, 0, 0, 6, 0, 0},      {6, 0, 0, 5.8f, 0, 0.2f},   {6, 0, 0, 5.8f, 0, -0.2f},
      {0, 0, 0, 0, 6, 0}};
  static const float kLetterN[][6] = {
      {0, 0, -6.1f, 0, 0, -6.4f}, {0, 0, -6.4f, 0.2f, 0, -6.1f}, {0.2f, 0, -6.1f, 0.2f, 0, -6.4f}};
  glColor3f(1, 0, 0);
  DrawLines(kRedAxes, 3);
  glColor3f(0, 0, 1);
  DrawLines(kLetterN, 3);
  glColor3f(1, 0, 0);
  DrawLines(kRedAxes + 3, 4);
}

}  // namespace

// --- The canvas ---

CModelCanvas::CModelCanvas(wxWindow* parent)
    : wxGLCanvas(parent, CanvasAttributes(), wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &CModelCanvas::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    set_up_ = false;  // the projection follows the window's size
    Refresh();
    e.Skip();
  });
  Bind(wxEVT_KEY_DOWN, &CModelCanvas::OnKey, this);
  Bind(wxEVT_LEFT_DOWN, &CModelCanvas::OnMouse, this);
  Bind(wxEVT_MIDDLE_DOWN, &CModelCanvas::OnMouse, this);
  Bind(wxEVT_MOTION, &CModelCanvas::OnMouse, this);
  Bind(wxEVT_MOUSEWHEEL, &CModelCanvas::OnMouse, this);
}

CModelCanvas::~CModelCanvas() { delete context_; }

void CModelCanvas::SetModel(Model3D model) {
  model_ = std::move(model);
  Refresh();
}

void CModelCanvas::Move(CameraMove move) {
  camera_.Move(move);
  Refresh();
}

bool CModelCanvas::MakeCurrent() {
  if (!IsShownOnScreen()) return false;
  if (!context_) {
    context_ = new wxGLContext(this);
    if (!context_->IsOK()) {
      delete context_;
      context_ = nullptr;
      return false;
    }
  }
  return SetCurrent(*context_);
}

void CModelCanvas::SetUpProjection() {
  const wxSize size = GetClientSize() * GetContentScaleFactor();
  const int h = size.y > 0 ? size.y : 1;
  glColor4f(1, 1, 1, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glViewport(0, 0, size.x, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(size.x) / h, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  set_up_ = true;
}

bool CModelCanvas::DrawFrame() {
  if (!Render()) return false;
  SwapBuffers();
  return true;
}

std::vector<unsigned char> CModelCanvas::ReadFrame(int* width, int* height) {
  std::vector<unsigned char> pixels;
  if (!Render()) return pixels;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  *width = viewport[2];
  *height = viewport[3];
  pixels.resize(static_cast<size_t>(*width) * *height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, *width, *height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

bool CModelCanvas::Render() {
  if (!MakeCurrent()) return false;
  if (!set_up_) SetUpProjection();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(-camera_.camX, -camera_.camY, -camera_.camZ);
  glRotatef(camera_.rotX, 1, 0, 0);
  glRotatef(camera_.rotY, 0, 1, 0);
  if (!model_.points.empty()) {
    // All points in one call from the vertex array; control points again,
    // larger and yellow, so they stand apart.
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, model_.points.data());
    glPointSize(2);
    glColor3f(1, 0, 0);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(model_.points.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glPointSize(5);
    glColor3f(1, 1, 0);
    glBegin(GL_POINTS);
    for (size_t i = 0; i < model_.points.size(); ++i)
      if (model_.control[i]) glVertex3f(model_.points[i].x, model_.points[i].y, model_.points[i].z);
    glEnd();
    glPointSize(1);
  }
  if (!model_.segments.empty()) {
    DrawAxes();
    glColor3f(0, 1, 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, model_.segments.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(model_.segments.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  glFinish();
  return true;
}

int CModelCanvas::PointAt(const wxPoint& client) {
  if (model_.points.empty() || !MakeCurrent()) return -1;
  if (!set_up_) SetUpProjection();
  glLoadIdentity();
  glTranslatef(-camera_.camX, -camera_.camY, -camera_.camZ);
  glRotatef(camera_.rotX, 1, 0, 0);
  glRotatef(camera_.rotY, 0, 1, 0);
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double scale = GetContentScaleFactor();
  const double mx = client.x * scale, my = viewport[3] - client.y * scale;
  int best = -1;
  double best_d2 = 36 * scale * scale;  // within 6 pixels
  for (size_t i = 0; i < model_.points.size(); ++i) {
    const Vec3& p = model_.points[i];
    GLdouble wx = 0, wy = 0, wz = 0;
    if (!gluProject(p.x, p.y, p.z, modelview, projection, viewport, &wx, &wy, &wz) || wz > 1) continue;
    const double d2 = (wx - mx) * (wx - mx) + (wy - my) * (wy - my);
    if (d2 < best_d2) best_d2 = d2, best = static_cast<int>(i);
  }
  return best;
}

void CModelCanvas::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);  // validates the region however the frame is drawn
  DrawFrame();
}

void CModelCanvas::OnKey(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_PAGEUP: Move(CameraMove::kPageUp); break;
    case WXK_PAGEDOWN: Move(CameraMove::kPageDown); break;
    case WXK_LEFT: Move(CameraMove::kLeft); break;
    case WXK_RIGHT: Move(CameraMove::kRight); break;
    case WXK_UP: Move(CameraMove::kForward); break;
    case WXK_DOWN: Move(CameraMove::kBackward); break;
    // The real + and - keys (main keyboard and keypad): a whole unit.
    case '+': case '=': case WXK_NUMPAD_ADD: Move(CameraMove::kUnitNearer); break;
    case '-': case WXK_NUMPAD_SUBTRACT: Move(CameraMove::kUnitFarther); break;
    default: event.Skip();
  }
}

void CModelCanvas::OnMouse(wxMouseEvent& event) {
  const wxPoint p = event.GetPosition();
  if (event.GetEventType() == wxEVT_MOUSEWHEEL) {
    camera_.Zoom(event.GetWheelRotation() > 0 ? 1 : -1);
    Refresh();
    return;
  }
  if (event.LeftDown() || event.MiddleDown()) {
    last_ = p;
    SetFocus();
    SetCursor(wxCursor(wxCURSOR_SIZING));
    return;
  }
  if (event.Dragging() && (event.LeftIsDown() || event.MiddleIsDown())) {
    if (event.LeftIsDown()) camera_.Rotate(p.x - last_.x, p.y - last_.y);
    else camera_.Pan(p.x - last_.x, p.y - last_.y);
    last_ = p;
    SetCursor(wxCursor(wxCURSOR_SIZING));
    Refresh();
    return;
  }
  if (event.Moving()) {
    // The point under the cursor names itself.
    const int i = PointAt(p);
    const wxString tip = i >= 0 ? wxString::Format("%d", model_.numbers[i]) : wxString();
    if (tip.empty()) UnsetToolTip();
    else if (!GetToolTip() || GetToolTip()->GetTip() != tip) SetToolTip(tip);
  }
  event.Skip();
}

// --- The view ---

wxIMPLEMENT_DYNAMIC_CLASS(COGLView, wxView);

COGLView::COGLView() : CPlainDocView(&CVistametDoc::modelWindowOn, ui::kTitleModel3D) {}

wxWindow* COGLView::MakeContent(wxDocMDIChildFrame* frame) {
  auto* bar = new wxMenuBar;
  const struct {
    int id;
    const char* text;
  } moves[] = {{kCmd3DLeft, "<-"},   {kCmd3DRight, "->"},   {kCmd3DUp, "Up"},      {kCmd3DDown, "Down"},
               {kCmd3DNearer, "+"},  {kCmd3DFarther, "-"},  {kCmd3DReset, "Reset"}};
  for (const auto& m : moves) {
    // A menu title with one item: a click on the title does the move.
    auto* menu = new wxMenu;
    menu->Append(m.id, m.text);
    bar->Append(menu, m.text);
  }
  auto* window = new wxMenu;
  window->Append(wxID_MDI_WINDOW_CASCADE, wxString::FromUTF8(ui::kItemCascade));
  window->Append(wxID_MDI_WINDOW_TILE_HORZ, wxString::FromUTF8(ui::kItemTile));
  bar->Append(window, wxString::FromUTF8(ui::kMenuWindow));
  frame->SetMenuBar(bar);
  canvas_ = new CModelCanvas(frame);
  frame->Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
    static const CameraMove kMoves[] = {CameraMove::kLeft,   CameraMove::kRight,
                                        CameraMove::kUp,     CameraMove::kDown,
                                        CameraMove::kNearer, CameraMove::kFarther,
                                        CameraMove::kReset};
    if (canvas_) canvas_->Move(kMoves[e.GetId() - kCmd3DLeft]);
  }, kCmd3DLeft, kCmd3DReset);
  if (CProjectDocument* doc = ProjectDoc()) canvas_->SetModel(BuildModel3D(doc->Core()));
  return canvas_;
}

void COGLView::OnUpdate(wxView*, wxObject*) {
  // The model follows the project: points and distances as they are now.
  if (CProjectDocument* doc = ProjectDoc(); doc && canvas_) canvas_->SetModel(BuildModel3D(doc->Core()));
}

}  // namespace vistamet
