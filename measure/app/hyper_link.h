// A text label that works as a link: underlined, blue before and purple
// after a visit, red under the mouse, with a hand cursor; a click opens the
// link with the desktop's default program.
#pragma once

#include <wx/window.h>

namespace vistamet {

class CHyperLink : public wxWindow {
 public:
  CHyperLink(wxWindow* parent, const wxString& label, const wxString& url);

  const wxString& Url() const { return url_; }
  bool Visited() const { return visited_; }
  bool Hovered() const { return hover_; }
  // The colour the label is drawn in now.
  wxColour TextColour() const;

  // What a click does: marks the link visited and opens it; returns
  // whether the link could be handed on.
  bool Follow();
  void MarkVisited();

 protected:
  wxSize DoGetBestClientSize() const override;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnEnter(wxMouseEvent& event);
  void OnLeave(wxMouseEvent& event);
  void OnClick(wxMouseEvent& event);

  wxString label_;
  wxString url_;
  bool visited_ = false;
  bool hover_ = false;
};

}  // namespace vistamet
