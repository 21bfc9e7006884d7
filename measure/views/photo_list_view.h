// The data list window of a project: one of four tables (distances, space
// points, image points, photos) in a virtual report list with its toolbar.
// Selected distances are highlighted in the image view; delete, rename,
// sorting by a column, Ctrl+C and CSV export act on what the list shows.
#pragma once

#include <vector>

#include <wx/listctrl.h>

#include "measure/shell/data_tables.h"
#include "measure/views/plain_doc_view.h"

namespace vistamet {

// The report list that reads its rows from a table (virtual: only the rows
// on screen are ever formatted by the control).
class CDataListCtrl : public wxListCtrl {
 public:
  explicit CDataListCtrl(wxWindow* parent);
  void Show(const DataTable* table);
  std::vector<int> SelectedRows() const;

 private:
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;
  const DataTable* table_ = nullptr;
};

class CPhotoListView : public CPlainDocView {
 public:
  CPhotoListView();
  ~CPhotoListView() override;
  ViewKind Kind() const override { return ViewKind::kDataList; }
  void OnUpdate(wxView* sender, wxObject* hint) override;

  const DataTable& Table() const { return table_; }
  CDataListCtrl* List() const { return list_; }
  // Rebuilds the table of the document's listMode and shows it.
  void Rebuild();
  // The selection changed: the highlighted distances follow it.
  void SelectionChanged();
  // The commands, also called by the tests.
  void DeleteSelected();
  void RenameSelected();
  void CopySelected();
  bool ExportCsv(const wxString& path);

 protected:
  wxWindow* MakeContent(wxDocMDIChildFrame* frame) override;

 private:
  void OnCommand(wxCommandEvent& event);
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void OnColumnClick(wxListEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnKey(wxKeyEvent& event);

  CDataListCtrl* list_ = nullptr;
  DataTable table_;
  int sort_column_ = -1;
  bool sort_ascending_ = true;

  wxDECLARE_DYNAMIC_CLASS(CPhotoListView);
};

}  // namespace vistamet
