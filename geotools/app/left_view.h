// CLeftView: the left pane of a document window, the ten functions as large
// icons with their names centred below them, wrapped to the pane's width.
// Selecting one makes it the document's current function; a double-click
// (or Enter) runs it as if chosen from the menu.
#pragma once

#include <wx/bitmap.h>
#include <wx/vlbox.h>

#include <vector>

namespace georeckon {

class CGeoReckonDoc;

class CLeftView : public wxVListBox {
 public:
  CLeftView(wxWindow* parent, CGeoReckonDoc* doc);

  // Follows the document: selects its current function, if any.
  void OnDocumentChanged();
  // The document is going away.
  void Detach() { doc_ = nullptr; }

  // Selects item `item` as a click does (the document follows).
  void SelectItem(int item);
  // Runs item `item` as a double-click does.
  void ActivateItem(int item);

  // The command id of list item `item` ("&0" … "&9").
  static int CommandOfItem(int item);

 protected:
  void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
  wxCoord OnMeasureItem(size_t n) const override;
  // The selection is drawn around the label only (OnDrawItem).
  void OnDrawBackground(wxDC&, const wxRect&, size_t) const override {}

 private:
  // The item's name broken into lines that fit the pane.
  std::vector<wxString> LabelLines(wxDC& dc, size_t n) const;

  CGeoReckonDoc* doc_;
  std::vector<wxBitmap> icons_;  // 32 pixels, by item
  bool following_ = false;
  int last_width_ = -1;
};

}  // namespace georeckon
