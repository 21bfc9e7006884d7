// What the views of a project have in common: which kind of window each is,
// and the refresh codes they receive.
#pragma once

#include <wx/docview.h>

namespace vistamet {

class CProjectDocument;

// The window kinds of one project. The extra windows (3D model, data list,
// plan map) are opened and closed by their toggles and reset the toggle's
// flag however they are closed.
enum class ViewKind { kProject, kModel3D, kDataList, kPlanMap };

// The refresh target of UpdateViews: 0 thumbnail strip, 1 image view, 2 data
// list, 3 plan map, anything else all of them.
class CUpdateHint : public wxObject {
 public:
  explicit CUpdateHint(int code) : code_(code) {}
  int Code() const { return code_; }
  bool Reaches(int target) const { return code_ < 0 || code_ > 3 || code_ == target; }

 private:
  int code_;
};

// A view of a project document.
class CDocViewBase : public wxView {
 public:
  virtual ViewKind Kind() const = 0;
  CProjectDocument* ProjectDoc() const;
  // Brings the view's window to the front.
  void BringToFront();
};

}  // namespace vistamet
