// What the views of a project have in common: which kind of window each is,
// and the refresh codes they receive.
#pragma once

#include <wx/docview.h>

#include "measure/records/user_prompt.h"

namespace vistamet {

class CProjectDocument;

// The window kinds of one project. The extra windows (3D model, data list,
// plan map) are opened and closed by their toggles and reset the toggle's
// flag however they are closed.
enum class ViewKind { kProject, kModel3D, kDataList, kPlanMap };

// The refresh target of UpdateViews as the hint of UpdateAllViews.
class CUpdateHint : public wxObject {
 public:
  explicit CUpdateHint(ViewUpdate what) : what_(what) {}
  ViewUpdate What() const { return what_; }
  bool Reaches(ViewUpdate target) const { return what_ == ViewUpdate::kAll || what_ == target; }

 private:
  ViewUpdate what_;
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
