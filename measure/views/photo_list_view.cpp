#include "measure/views/photo_list_view.h"

#include <algorithm>

#include <wx/artprov.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>

#include "common/atomic_file.h"
#include "measure/app/command_ids.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/project_document.h"
#include "measure/app/rename_dialog.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }
wxString U(const std::string& s) { return wxString::FromUTF8(s); }

// The prompt (before the line break) and the tool tip (after it).
wxString TipOf(const char* text) { return U(text).AfterFirst('\n'); }
wxString PromptOf(const char* text) { return U(text).BeforeFirst('\n'); }

// The sixteen 16 x 16 row icons; the ones the tables use are drawn.
wxImageList* RowIcons() {
  auto* icons = new wxImageList(16, 16, true, 16);
  for (int k = 0; k < 16; ++k) {
    wxBitmap bitmap(16, 16, 24);
    {
      wxMemoryDC dc(bitmap);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      switch (k) {
        case kIconDistance:  // a line between two points
          dc.SetPen(wxPen(wxColour(0, 160, 160), 2));
          dc.DrawLine(3, 12, 12, 3);
          dc.SetBrush(*wxBLUE_BRUSH);
          dc.DrawCircle(3, 12, 2);
          dc.DrawCircle(12, 3, 2);
          break;
        case kIconSpacePoint:  // a red dot
          dc.SetPen(*wxBLACK_PEN);
          dc.SetBrush(*wxRED_BRUSH);
          dc.DrawCircle(8, 8, 4);
          break;
        case kIconImagePoint:  // a red cross
          dc.SetPen(wxPen(*wxRED, 2));
          dc.DrawLine(3, 8, 13, 8);
          dc.DrawLine(8, 3, 8, 13);
          break;
        case kIconPhoto:  // a framed picture
          dc.SetPen(*wxBLACK_PEN);
          dc.SetBrush(wxBrush(wxColour(120, 170, 220)));
          dc.DrawRectangle(2, 3, 12, 10);
          break;
        case kIconArrow: {  // an arrow to the right
          dc.SetPen(*wxBLACK_PEN);
          dc.SetBrush(wxBrush(wxColour(0, 140, 0)));
          const wxPoint arrow[] = {{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}};
          dc.DrawPolygon(7, arrow);
          break;
        }
        case kIconFooter:  // a sum sign
          dc.SetPen(wxPen(*wxBLACK, 2));
          dc.DrawLine(12, 3, 4, 3);
          dc.DrawLine(4, 3, 9, 8);
          dc.DrawLine(9, 8, 4, 13);
          dc.DrawLine(4, 13, 12, 13);
          break;
        case kIconQuestion:
          dc.SetTextForeground(wxColour(200, 0, 0));
          dc.SetFont(wxFontInfo(10).Bold());
          dc.DrawText("?", 4, 0);
          break;
        default:
          break;
      }
    }
    icons->Add(bitmap);
  }
  return icons;
}

}  // namespace

// --- The list control ---

CDataListCtrl::CDataListCtrl(wxWindow* parent)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_HRULES | wxLC_VRULES) {
  AssignImageList(RowIcons(), wxIMAGE_LIST_SMALL);
}

void CDataListCtrl::Show(const DataTable* table) {
  table_ = table;
  Freeze();
  SetItemCount(0);
  DeleteAllColumns();
  if (table_) {
    for (size_t c = 0; c < table_->columns.size(); ++c) {
      const TableColumn& col = table_->columns[c];
      const wxListColumnFormat format = col.align == ColumnAlign::kLeft    ? wxLIST_FORMAT_LEFT
                                        : col.align == ColumnAlign::kRight ? wxLIST_FORMAT_RIGHT
                                                                           : wxLIST_FORMAT_CENTRE;
      AppendColumn(U(col.title), format, col.width);
    }
    SetItemCount(static_cast<long>(table_->rows.size()));
  }
  Thaw();
  Refresh();
}

std::vector<int> CDataListCtrl::SelectedRows() const {
  std::vector<int> rows;
  for (long i = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
       i = GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    rows.push_back(static_cast<int>(i));
  return rows;
}

wxString CDataListCtrl::OnGetItemText(long item, long column) const {
  if (!table_ || item < 0 || item >= static_cast<long>(table_->rows.size())) return wxString();
  const TableRow& row = table_->rows[item];
  if (column < 0 || column >= static_cast<long>(row.cells.size())) return wxString();
  return U(row.cells[column]);
}

int CDataListCtrl::OnGetItemImage(long item) const {
  if (!table_ || item < 0 || item >= static_cast<long>(table_->rows.size())) return -1;
  return table_->rows[item].icon;
}

// --- The view ---

wxIMPLEMENT_DYNAMIC_CLASS(CPhotoListView, wxView);

CPhotoListView::CPhotoListView() : CPlainDocView(&CVistametDoc::listWindowOn, ui::kTitleDataList) {}

CPhotoListView::~CPhotoListView() {
  // Closing the list ends the highlighting in the image view.
  if (CProjectDocument* doc = ProjectDoc()) {
    if (!doc->Core().highlightList.empty()) {
      doc->Core().highlightList.clear();
      doc->UpdateViews(ViewUpdate::kImage);
    }
  }
}

wxWindow* CPhotoListView::MakeContent(wxDocMDIChildFrame* frame) {
  // The window's own toolbar above the list (a child frame under GTK has
  // no toolbar slot of its own).
  auto* panel = new wxPanel(frame);
  auto* bar = new wxToolBar(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxTB_HORIZONTAL | wxTB_FLAT);
  auto tool = [bar](int id, const wxArtID& art, const char* text, wxItemKind kind) {
    bar->AddTool(id, TipOf(text), wxArtProvider::GetBitmap(art, wxART_TOOLBAR, wxSize(16, 16)),
                 TipOf(text), kind);
    bar->SetToolLongHelp(id, PromptOf(text));
  };
  tool(kCmdListDistances, wxART_GO_FORWARD, ui::kListShowDistances, wxITEM_RADIO);
  tool(kCmdListSpacePoints, wxART_NEW, ui::kListShowSpacePoints, wxITEM_RADIO);
  tool(kCmdListImagePoints, wxART_LIST_VIEW, ui::kListShowImagePoints, wxITEM_RADIO);
  tool(kCmdListPhotos, wxART_REPORT_VIEW, ui::kListShowPhotos, wxITEM_RADIO);
  bar->AddSeparator();
  tool(kCmdListRefresh, wxART_REDO, ui::kListRefresh, wxITEM_NORMAL);
  tool(kCmdListDelete, wxART_DELETE, ui::kListDelete, wxITEM_NORMAL);
  tool(kCmdListRename, wxART_EDIT, ui::kListRename, wxITEM_NORMAL);
  bar->AddSeparator();
  bar->AddTool(kCmdListExportCsv, U(ui::kListExportCsv),
               wxArtProvider::GetBitmap(wxART_FILE_SAVE_AS, wxART_TOOLBAR, wxSize(16, 16)),
               U(ui::kListExportCsv));
  bar->Realize();

  list_ = new CDataListCtrl(panel);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(bar, 0, wxEXPAND);
  sizer->Add(list_, 1, wxEXPAND);
  panel->SetSizer(sizer);
  list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { SelectionChanged(); });
  list_->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { SelectionChanged(); });
  list_->Bind(wxEVT_LIST_COL_CLICK, &CPhotoListView::OnColumnClick, this);
  list_->Bind(wxEVT_CONTEXT_MENU, &CPhotoListView::OnContextMenu, this);
  list_->Bind(wxEVT_KEY_DOWN, &CPhotoListView::OnKey, this);
  frame->Bind(wxEVT_MENU, &CPhotoListView::OnCommand, this, kCmdListDistances, kCmdListExportCsv);
  frame->Bind(wxEVT_UPDATE_UI, &CPhotoListView::OnUpdateCommand, this, kCmdListDistances,
              kCmdListExportCsv);
  Rebuild();
  return panel;
}

void CPhotoListView::OnUpdate(wxView*, wxObject* hint) {
  const auto* h = dynamic_cast<CUpdateHint*>(hint);
  if (!h || h->Reaches(ViewUpdate::kDataList)) Rebuild();
}

void CPhotoListView::Rebuild() {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !list_) return;
  CVistametDoc& core = doc->Core();
  const int kind = std::clamp(core.listMode, 0, 3);
  // The table is replaced whole: the control must not read the old rows.
  list_->Show(nullptr);
  table_ = BuildTable(core, static_cast<ListKind>(kind));
  if (sort_column_ >= 0) SortTable(table_, sort_column_, sort_ascending_);
  list_->Show(&table_);
  if (!core.highlightList.empty()) {
    core.highlightList.clear();
    doc->UpdateViews(ViewUpdate::kImage);
  }
}

void CPhotoListView::SelectionChanged() {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !list_) return;
  CVistametDoc& core = doc->Core();
  std::vector<int32_t> highlight = HighlightForSelection(table_, list_->SelectedRows());
  if (highlight == core.highlightList) return;
  core.highlightList = std::move(highlight);
  doc->UpdateViews(ViewUpdate::kImage);
}

void CPhotoListView::DeleteSelected() {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !list_) return;
  const std::vector<int> rows = list_->SelectedRows();
  if (!CanDeleteRow(doc->Core(), table_, rows)) return;
  DeleteRowRecord(doc->Core(), table_, rows[0]);  // refreshes every view
}

void CPhotoListView::RenameSelected() {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !list_) return;
  const std::vector<int> rows = list_->SelectedRows();
  if (!CanRenameRow(doc->Core(), table_, rows)) return;
  const int32_t number = table_.rows[rows[0]].key;
  if (doc->Core().FindSpacePoint(number) < 0) return;
  CRenameDialog dialog(GetFrame(), number);
  if (dialog.ShowModal() != wxID_OK) return;
  RenameRowRecord(doc->Core(), table_, rows[0], dialog.NewNumber());
}

void CPhotoListView::CopySelected() {
  if (!list_) return;
  const std::vector<int> rows = list_->SelectedRows();
  if (rows.empty() || !wxTheClipboard->Open()) return;
  wxTheClipboard->SetData(new wxTextDataObject(U(TableText(table_, rows))));
  wxTheClipboard->Close();
}

bool CPhotoListView::ExportCsv(const wxString& path) {
  std::string error;
  if (common::SaveFileAtomically(path.ToStdString(wxConvUTF8), TableCsv(table_), &error)) return true;
  ShowMessage(GetFrame(), error, Icon::kError);
  return false;
}

void CPhotoListView::OnCommand(wxCommandEvent& event) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc) return;
  CVistametDoc& core = doc->Core();
  const int id = event.GetId();
  if (id >= kCmdListDistances && id <= kCmdListPhotos) {
    // Another table may be looked at during the adjustment, not while the
    // extraction replaces the points.
    if (core.extractionRunning) return;
    core.listMode = id - kCmdListDistances;
    sort_column_ = -1;
    Rebuild();
    return;
  }
  switch (id) {
    case kCmdListRefresh:
      Rebuild();
      break;
    case kCmdListDelete:
      DeleteSelected();
      break;
    case kCmdListRename:
      RenameSelected();
      break;
    case kCmdListExportCsv: {
      wxFileDialog dialog(GetFrame(), U(ui::kListExportCsv), wxEmptyString, wxEmptyString,
                          U(ui::kCsvFilter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
      if (dialog.ShowModal() == wxID_OK) ExportCsv(dialog.GetPath());
      break;
    }
  }
}

void CPhotoListView::OnUpdateCommand(wxUpdateUIEvent& event) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !list_) return;
  const CVistametDoc& core = doc->Core();
  const int id = event.GetId();
  if (id >= kCmdListDistances && id <= kCmdListPhotos) {
    event.Enable(core.extractionRunning == 0);
    event.Check(core.listMode == id - kCmdListDistances);
    return;
  }
  const std::vector<int> rows = list_->SelectedRows();
  switch (id) {
    case kCmdListDelete:
      event.Enable(CanDeleteRow(core, table_, rows));
      break;
    case kCmdListRename:
      event.Enable(CanRenameRow(core, table_, rows));
      break;
    default:
      event.Enable(true);
  }
}

void CPhotoListView::OnColumnClick(wxListEvent& event) {
  const int column = event.GetColumn();
  sort_ascending_ = column == sort_column_ ? !sort_ascending_ : true;
  sort_column_ = column;
  list_->Show(nullptr);
  SortTable(table_, sort_column_, sort_ascending_);
  list_->Show(&table_);
}

void CPhotoListView::OnContextMenu(wxContextMenuEvent& event) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !CanDeleteRow(doc->Core(), table_, list_->SelectedRows())) return;
  wxMenu menu;
  menu.Append(kCmdListDelete, U(ui::kListPopupDelete));
  menu.AppendSeparator();
  menu.Append(kCmdListRename, U(ui::kListPopupRename));
  menu.Enable(kCmdListRename, CanRenameRow(doc->Core(), table_, list_->SelectedRows()));
  wxPoint at = event.GetPosition();
  at = at == wxDefaultPosition ? wxPoint(0, 0) : list_->ScreenToClient(at);
  const int chosen = list_->GetPopupMenuSelectionFromUser(menu, at);
  if (chosen == kCmdListDelete) DeleteSelected();
  if (chosen == kCmdListRename) RenameSelected();
}

void CPhotoListView::OnKey(wxKeyEvent& event) {
  if (event.GetModifiers() == wxMOD_CONTROL && (event.GetKeyCode() == 'C' || event.GetKeyCode() == WXK_INSERT)) {
    CopySelected();
    return;
  }
  if (event.GetModifiers() == wxMOD_NONE && event.GetKeyCode() == WXK_DELETE) {
    DeleteSelected();
    return;
  }
  event.Skip();
}

}  // namespace vistamet
