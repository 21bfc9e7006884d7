// CChildFrame: the window of one document, split into the function list on
// the left (CLeftView) and the output view on the right, with the document
// menu bar.
#pragma once

#include <wx/docmdi.h>

class wxSplitterWindow;

namespace georeckon {

class CGeoReckonDoc;
class CGeoReckonView;
class CLeftView;
class CViewCanvas;

class CChildFrame : public wxDocMDIChildFrame {
 public:
  CChildFrame(CGeoReckonDoc* doc, CGeoReckonView* view, wxMDIParentFrame* parent);
  ~CChildFrame() override;

  CLeftView* left() const { return left_; }
  CViewCanvas* canvas() const { return canvas_; }
  wxSplitterWindow* splitter() const { return splitter_; }

 private:
  void OnSplit(wxCommandEvent&);
  void OnEditUpdate(wxUpdateUIEvent& event) { event.Enable(false); }

  wxSplitterWindow* splitter_ = nullptr;
  CLeftView* left_ = nullptr;
  CViewCanvas* canvas_ = nullptr;
  wxMenu* file_menu_ = nullptr;
  wxDocManager* manager_ = nullptr;
};

}  // namespace georeckon
