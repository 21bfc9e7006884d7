#include "geotools/app/left_view.h"

#include <wx/dcclient.h>
#include <wx/mdi.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/icons.h"
#include "geotools/app/menus.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

namespace {
constexpr int kItems = 10;
constexpr int kIconSize = 32;
constexpr int kPad = 3;
}  // namespace

CLeftView::CLeftView(wxWindow* parent, CGeoReckonDoc* doc)
    : wxVListBox(parent, wxID_ANY, wxDefaultPosition, wxSize(200, 200), wxBORDER_NONE,
                 "functionList"),
      doc_(doc) {
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
  for (int i = 0; i < kItems; ++i) {
    icons_.push_back(FunctionIcon(app_texts::kListItemFunction[i], FromDIP(kIconSize)));
  }
  SetItemCount(kItems);
  Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
    if (following_ || !doc_) return;
    const int item = event.GetSelection();
    if (item >= 0 && item < kItems) doc_->SelectFunction(item, app_texts::kListItems[item]);
  });
  Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent& event) { ActivateItem(event.GetSelection()); });
  Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) {
      ActivateItem(GetSelection());
    } else {
      event.Skip();
    }
  });
  // Labels wrap to the width, so the item heights follow it.
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    const int width = GetClientSize().x;
    if (width == last_width_) return;
    last_width_ = width;
    const int selected = GetSelection();
    following_ = true;
    SetItemCount(kItems);
    ScrollToRow(0);
    if (selected != wxNOT_FOUND) SetSelection(selected);
    following_ = false;
    Refresh();
  });
}

int CLeftView::CommandOfItem(int item) {
  return FunctionCommand(app_texts::kListItemFunction[item]);
}

void CLeftView::OnDocumentChanged() {
  const int index = doc_ ? doc_->data().currentIndex : -1;
  if (index < 0 || index >= kItems || GetSelection() == index) return;
  following_ = true;
  SetSelection(index);
  following_ = false;
}

void CLeftView::SelectItem(int item) {
  if (item < 0 || item >= kItems) return;
  SetSelection(item);
  wxCommandEvent event(wxEVT_LISTBOX, GetId());
  event.SetEventObject(this);
  event.SetInt(item);
  ProcessWindowEvent(event);
}

void CLeftView::ActivateItem(int item) {
  if (item < 0 || item >= kItems) return;
  // Posted, as a menu choice would be, so the list finishes its own event
  // before the function's dialog opens.
  wxWindow* frame = GetParent();
  while (frame && !dynamic_cast<wxMDIChildFrame*>(frame)) frame = frame->GetParent();
  if (!frame) frame = wxGetTopLevelParent(this);
  auto* command = new wxCommandEvent(wxEVT_MENU, CommandOfItem(item));
  command->SetEventObject(frame);
  frame->GetEventHandler()->QueueEvent(command);
}

std::vector<wxString> CLeftView::LabelLines(wxDC& dc, size_t n) const {
  const wxString text = Wx(app_texts::kListItems[n]);
  const int width = std::max(GetClientSize().x - 2 * FromDIP(kPad), FromDIP(kIconSize));
  std::vector<wxString> lines;
  wxString line;
  // Chinese text may break between any two characters.
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    const wxString longer = line + *it;
    if (!line.empty() && dc.GetTextExtent(longer).x > width) {
      lines.push_back(line);
      line = wxString(*it);
    } else {
      line = longer;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

wxCoord CLeftView::OnMeasureItem(size_t n) const {
  wxClientDC dc(const_cast<CLeftView*>(this));
  dc.SetFont(GetFont());
  const int lines = static_cast<int>(LabelLines(dc, n).size());
  return FromDIP(kPad) + FromDIP(kIconSize) + FromDIP(2) + lines * dc.GetCharHeight() +
         FromDIP(kPad);
}

void CLeftView::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
  const bool selected = IsSelected(n);
  const int icon = FromDIP(kIconSize);
  dc.DrawBitmap(icons_[n], rect.x + (rect.width - icon) / 2, rect.y + FromDIP(kPad), true);
  dc.SetFont(GetFont());
  const std::vector<wxString> lines = LabelLines(dc, n);
  int y = rect.y + FromDIP(kPad) + icon + FromDIP(2);
  const int h = dc.GetCharHeight();
  int widest = 0;
  for (const wxString& line : lines) widest = std::max(widest, dc.GetTextExtent(line).x);
  if (selected) {
    // Only the label is highlighted, as in an icon view.
    const wxRect label(rect.x + (rect.width - widest) / 2 - 3, y - 1, widest + 6,
                       static_cast<int>(lines.size()) * h + 2);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(label);
  }
  dc.SetTextForeground(wxSystemSettings::GetColour(selected ? wxSYS_COLOUR_HIGHLIGHTTEXT
                                                            : wxSYS_COLOUR_LISTBOXTEXT));
  for (const wxString& line : lines) {
    dc.DrawText(line, rect.x + (rect.width - dc.GetTextExtent(line).x) / 2, y);
    y += h;
  }
}

}  // namespace georeckon
