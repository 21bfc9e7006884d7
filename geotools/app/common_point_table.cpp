#include "geotools/app/common_point_table.h"

#include <wx/settings.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <utility>

#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace {

// Column widths of the original layout: 1070 twips (seven parameters) and
// 1080 twips (four), at 96 pixels per inch.
constexpr int kSevenColumnWidth = 71;
constexpr int kFourColumnWidth = 72;
constexpr int kVisibleRows = 8;
constexpr int kFittedColumnWidth = 100;

bool SameRows(const std::vector<CommonPointRow>& a, const std::vector<CommonPointRow>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const CommonPointRow& x, const CommonPointRow& y) {
                      return x.name == y.name && x.cells == y.cells;
                    });
}

// One step of the table: the rows before and after it. Submitting it
// records the change already made.
class CRowsStep : public wxCommand {
 public:
  CRowsStep(CCommonPointTable& table, std::vector<CommonPointRow> before,
            std::vector<CommonPointRow> after, const char* name)
      : wxCommand(true, Wx(name)), table_(table), before_(std::move(before)),
        after_(std::move(after)) {}
  bool Do() override {
    if (done_once_) table_.SetRows(after_);
    done_once_ = true;
    return true;
  }
  bool Undo() override {
    table_.SetRows(before_);
    return true;
  }

 private:
  CCommonPointTable& table_;
  std::vector<CommonPointRow> before_, after_;
  bool done_once_ = false;
};

}  // namespace

CCommonPointTable::Step::Step(CCommonPointTable& table, const char* name)
    : table_(table), before_(table.rows_), name_(name) {
  ++table_.step_depth_;
}

CCommonPointTable::Step::~Step() {
  if (--table_.step_depth_ > 0 || SameRows(before_, table_.rows_)) return;
  table_.history_.Submit(new CRowsStep(table_, std::move(before_), table_.rows_, name_));
}

bool CCommonPointTable::Undo() {
  CloseEditor();
  return history_.Undo();
}

bool CCommonPointTable::Redo() {
  CloseEditor();
  return history_.Redo();
}

wxString CCommonPointTable::UndoName() const {
  const wxCommand* step = history_.CanUndo() ? history_.GetCurrentCommand() : nullptr;
  return step ? step->GetName() : wxString();
}

void CCommonPointTable::SetRows(const std::vector<CommonPointRow>& rows) {
  editor_row_ = editor_col_ = -1;
  editor_->Hide();
  if (GetNumberRows() > 0) DeleteRows(0, GetNumberRows());
  rows_ = rows;
  if (!rows_.empty()) AppendRows(count());
  for (int r = 0; r < count(); ++r) ShowRow(r);
  ClearSelection();
  FitColumns();
}

CCommonPointTable::CCommonPointTable(wxWindow* parent, CommonPointKind kind)
    : wxGrid(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_SUNKEN,
             "table"),
      kind_(kind) {
  const int cells = CellCount(kind);
  const char* const* headers =
      kind == CommonPointKind::kSpatial ? texts::kSevenTableHeaders : texts::kFourTableHeaders;
  CreateGrid(0, cells + 1, wxGridSelectRows);
  EnableEditing(false);
  EnableDragRowSize(false);
  SetRowLabelSize(0);
  SetColLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
  base_width_ = FromDIP(kind == CommonPointKind::kSpatial ? kSevenColumnWidth : kFourColumnWidth);
  for (int c = 0; c <= cells; ++c) {
    SetColLabelValue(c, Wx(headers[c]));
    SetColSize(c, base_width_);
  }
  // The name column looks and acts like the fixed header.
  wxGridCellAttr* fixed = new wxGridCellAttr;
  fixed->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
  fixed->SetReadOnly();
  fixed->SetAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
  SetColAttr(0, fixed);
  SetDefaultCellAlignment(wxALIGN_RIGHT, wxALIGN_CENTRE);
  // Room for coordinates of seven digits before the point.
  SetMinSize(wxSize(
      FromDIP(kFittedColumnWidth) * (cells + 1) + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X) + 4,
      GetColLabelSize() + kVisibleRows * GetDefaultRowSize() + 4));

  editor_ =
      new wxTextCtrl(GetGridWindow(), wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                     wxTE_PROCESS_ENTER | wxBORDER_SIMPLE, wxDefaultValidator, "cellEditor");
  editor_->Hide();
  editor_->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
    CloseEditor();
    event.Skip();
  });
  editor_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { CloseEditor(); });
  Bind(wxEVT_GRID_CELL_LEFT_CLICK, &CCommonPointTable::OnCellClick, this);
  // A box left over a cell that scrolls away would cover another cell.
  GetGridWindow()->Bind(wxEVT_SCROLLWIN_THUMBTRACK, [this](wxScrollWinEvent& e) {
    CloseEditor();
    e.Skip();
  });
  Bind(wxEVT_GRID_COL_SIZE, [this](wxGridSizeEvent& e) {
    CloseEditor();
    e.Skip();
  });
}

void CCommonPointTable::ShowRow(int row) {
  const CommonPointRow& r = rows_[row];
  SetCellValue(row, 0, Wx(r.name));
  for (size_t c = 0; c < r.cells.size(); ++c) {
    SetCellValue(row, static_cast<int>(c) + 1, Wx(r.cells[c]));
  }
}

void CCommonPointTable::Append(const CommonPointRow& row) {
  CloseEditor();
  Step step(*this, app_texts::kStepAddRow);
  rows_.push_back(row);
  rows_.back().cells.resize(CellCount(kind_));
  AppendRows(1);
  ShowRow(count() - 1);
  FitColumns();
}

void CCommonPointTable::FitColumns() {
  for (int c = 0; c < GetNumberCols(); ++c) {
    AutoSizeColumn(c, false);
    if (GetColSize(c) < base_width_) SetColSize(c, base_width_);
  }
  ForceRefresh();
}

bool CCommonPointTable::DeleteSelected() {
  CloseEditor();
  int row = GetGridCursorRow();
  const wxArrayInt selected = GetSelectedRows();
  if (!selected.empty()) row = selected[0];
  return DeleteRow(row);
}

bool CCommonPointTable::DeleteRow(int row) {
  CloseEditor();
  if (row < 0 || row >= count()) return false;
  Step step(*this, app_texts::kStepDeleteRow);
  rows_.erase(rows_.begin() + row);
  DeleteRows(row, 1);
  ClearSelection();
  return true;
}

void CCommonPointTable::EndEditMode() {
  CloseEditor();
  edit_armed_ = false;
}

bool CCommonPointTable::OpenEditor(int row, int col) {
  if (row < 0 || row >= count() || col < 1 || col > CellCount(kind_)) return false;
  CloseEditor();
  MakeCellVisible(row, col);
  const wxRect cell = CellToRect(row, col);
  int x = 0, y = 0;
  CalcScrolledPosition(cell.x, cell.y, &x, &y);
  editor_->SetSize(x, y, cell.width, cell.height);
  editor_->ChangeValue(GetCellValue(row, col));
  editor_row_ = row;
  editor_col_ = col;
  editor_->Show();
  editor_->SetFocus();
  editor_->SelectAll();
  return true;
}

void CCommonPointTable::CloseEditor() {
  if (editor_row_ < 0) return;
  const int row = editor_row_;
  const int col = editor_col_;
  editor_row_ = editor_col_ = -1;
  const std::string text = EditedCellText(ParseNumberOrZero(Utf8(editor_->GetValue())));
  editor_->Hide();
  if (row < count()) {
    Step step(*this, app_texts::kStepEditCell);
    rows_[row].cells[col - 1] = text;
    SetCellValue(row, col, Wx(text));
    FitColumns();
  }
}

void CCommonPointTable::OnCellClick(wxGridEvent& event) {
  if (edit_armed_ && OpenEditor(event.GetRow(), event.GetCol())) return;
  CloseEditor();
  event.Skip();
}

}  // namespace georeckon
