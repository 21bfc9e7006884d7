// CGeoReckonView: the output pane of a document window. It draws the current
// function's name (or the parameter description after "&0 参数设置"), or the
// list of the functions when the document has no current text; printing and
// print preview draw the same. The function commands of the menu run here.
#pragma once

#include <wx/docview.h>

#include "geotools/app/tool_function.h"

namespace georeckon {

class CChildFrame;
class CGeoReckonDoc;

class CGeoReckonView : public wxView {
 public:
  CGeoReckonView();

  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC* dc) override;
  void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
  bool OnClose(bool delete_window = true) override;

  CGeoReckonDoc* doc() const;
  CChildFrame* child_frame() const { return frame_; }

  // Runs `function` in its dialog.
  void RunFunction(ToolFunction function);

 private:
  void OnFunction(wxCommandEvent& event);
  void OnNewWindow(wxCommandEvent& event);

  CChildFrame* frame_ = nullptr;

  wxDECLARE_DYNAMIC_CLASS(CGeoReckonView);
};

// Draws the output view's picture for `doc` onto `dc` (screen, bitmap or
// printer), in pixels with y downwards.
void DrawOutput(wxDC& dc, const CGeoReckonDoc& doc);

}  // namespace georeckon
