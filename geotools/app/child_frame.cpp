#include "geotools/app/child_frame.h"

#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/splitter.h>

#include "geotools/app/geo_reckon_app.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/geo_reckon_view.h"
#include "geotools/app/icons.h"
#include "geotools/app/left_view.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/menus.h"
#include "geotools/app/view_canvas.h"

namespace georeckon {

namespace {
constexpr int kPaneWidth = 200;  // both panes start 200 × 200
}

CChildFrame::CChildFrame(CGeoReckonDoc* doc, CGeoReckonView* view, wxMDIParentFrame* parent)
    : wxDocMDIChildFrame(doc, view, parent, wxID_ANY, doc->GetUserReadableName(), wxDefaultPosition,
                         wxSize(640, 480)) {
  SetIcons(ProgramIcons());
  wxMenuBar* bar = CreateDocumentMenuBar();
  file_menu_ = FileMenuOf(bar);
  manager_ = doc->GetDocumentManager();
  if (manager_) manager_->FileHistoryUseMenu(file_menu_);
  SetMenuBar(bar);

  splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                   wxSP_LIVE_UPDATE | wxSP_3DSASH, "splitter");
  left_ = new CLeftView(splitter_, doc);
  canvas_ = new CViewCanvas(splitter_, view);
  splitter_->SetMinimumPaneSize(40);
  splitter_->SplitVertically(left_, canvas_, FromDIP(kPaneWidth));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(splitter_, 1, wxEXPAND);
  SetSizer(sizer);

  Bind(wxEVT_MENU, &CChildFrame::OnSplit, this, ID_WINDOW_SPLIT);
  // The status bar is the main window's: the prompts of this menu go there.
  Bind(wxEVT_MENU_HIGHLIGHT, [this](wxMenuEvent& event) {
    wxString help;
    if (event.GetMenuId() >= 0 && GetMenuBar())
      help = GetMenuBar()->GetHelpString(event.GetMenuId());
    if (CMainFrame* main = TheMainFrame()) main->DoGiveHelp(help, true);
  });
  Bind(wxEVT_MENU_CLOSE, [](wxMenuEvent& event) {
    if (CMainFrame* main = TheMainFrame()) main->DoGiveHelp(wxEmptyString, false);
    event.Skip();
  });
  Bind(wxEVT_UPDATE_UI, &CChildFrame::OnEditUpdate, this, ID_EDIT_UNDO, ID_EDIT_PASTE);
  canvas_->SetFocus();
}

CChildFrame::~CChildFrame() {
  if (manager_ && file_menu_) manager_->FileHistoryRemoveMenu(file_menu_);
}

void CChildFrame::OnSplit(wxCommandEvent&) {
  // The split bar goes back to the middle of the window.
  if (!splitter_->IsSplit()) splitter_->SplitVertically(left_, canvas_);
  splitter_->SetSashPosition(splitter_->GetClientSize().x / 2);
}

}  // namespace georeckon
