#include "measure/app/hyper_link.h"

#include <wx/dcclient.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace vistamet {

namespace {

// Stored as 0x00BBGGRR: 0xEE0000 and 0x8B1A55.
const wxColour kFresh(0x00, 0x00, 0xEE);
const wxColour kVisited(0x55, 0x1A, 0x8B);
const wxColour kHover(0xFF, 0x00, 0x00);

}  // namespace

CHyperLink::CHyperLink(wxWindow* parent, const wxString& label, const wxString& url)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      label_(label), url_(url) {
  wxFont font = parent->GetFont();
  font.SetUnderlined(true);
  SetFont(font);
  SetCursor(wxCursor(wxCURSOR_HAND));
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetToolTip(url);
  SetInitialSize();
  Bind(wxEVT_PAINT, &CHyperLink::OnPaint, this);
  Bind(wxEVT_ENTER_WINDOW, &CHyperLink::OnEnter, this);
  Bind(wxEVT_LEAVE_WINDOW, &CHyperLink::OnLeave, this);
  Bind(wxEVT_LEFT_UP, &CHyperLink::OnClick, this);
}

wxColour CHyperLink::TextColour() const {
  if (hover_) return kHover;
  return visited_ ? kVisited : kFresh;
}

wxSize CHyperLink::DoGetBestClientSize() const {
  wxClientDC dc(const_cast<CHyperLink*>(this));
  dc.SetFont(GetFont());
  return dc.GetMultiLineTextExtent(label_);
}

void CHyperLink::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(TextColour());
  dc.DrawText(label_, 0, 0);
}

void CHyperLink::OnEnter(wxMouseEvent&) {
  hover_ = true;
  Refresh();
}

void CHyperLink::OnLeave(wxMouseEvent&) {
  hover_ = false;
  Refresh();
}

void CHyperLink::MarkVisited() {
  visited_ = true;
  Refresh();
}

bool CHyperLink::Follow() {
  MarkVisited();
  wxLogNull quiet;  // a link nobody can open is not worth a message
  return wxLaunchDefaultBrowser(url_);
}

void CHyperLink::OnClick(wxMouseEvent&) { Follow(); }

}  // namespace vistamet
