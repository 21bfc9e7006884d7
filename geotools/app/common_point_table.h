// The common-point table of the two parameter solvers: a grid with a fixed
// header row and a fixed name column, one row per common point, and an edit
// box that "编辑" lays over a clicked coordinate cell.
//
// The rows (names and cell texts exactly as shown) are the table's model;
// the solvers read their numbers back from these texts.
#pragma once

#include <wx/cmdproc.h>
#include <wx/grid.h>

#include <vector>

#include "geotools/compute/common_points.h"

class wxTextCtrl;

namespace georeckon {

class CCommonPointTable : public wxGrid {
 public:
  CCommonPointTable(wxWindow* parent, CommonPointKind kind);

  // Changes of the rows made while a Step lives are one step of the
  // table's undo history (steps inside steps join the outer one).
  class Step {
   public:
    Step(CCommonPointTable& table, const char* name);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    CCommonPointTable& table_;
    std::vector<CommonPointRow> before_;
    const char* name_;
  };

  // Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z in the table's dialog.
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  // The name of the step Undo takes back ("" when none).
  wxString UndoName() const;
  // Puts rows back as they were (a step's undo or redo).
  void SetRows(const std::vector<CommonPointRow>& rows);

  const std::vector<CommonPointRow>& rows() const { return rows_; }
  int count() const { return static_cast<int>(rows_.size()); }

  void Append(const CommonPointRow& row);
  // Removes the selected data row; later rows move up. False when no data
  // row is selected.
  bool DeleteSelected();
  // Removes data row `row` (0-based); later rows move up.
  bool DeleteRow(int row);

  // "编辑": the next clicks on coordinate cells open the edit box over them,
  // until EndEditMode.
  void ArmEditing() { edit_armed_ = true; }
  void EndEditMode();
  bool edit_armed() const { return edit_armed_; }

  // Opens the edit box over data row `row` (0-based), coordinate column
  // `col` (1 … cells), holding the cell's text, all selected. False for any
  // other cell.
  bool OpenEditor(int row, int col);
  // Writes the edit box's number into its cell as "%.5f" and hides it; what
  // happens when the box loses the focus.
  void CloseEditor();
  wxTextCtrl* cell_editor() const { return editor_; }
  bool editor_open() const { return editor_row_ >= 0; }

 private:
  void ShowRow(int row);
  // Widens the columns to their texts (never below the starting width), so
  // that no coordinate is cut off.
  void FitColumns();
  void OnCellClick(wxGridEvent& event);

  CommonPointKind kind_;
  std::vector<CommonPointRow> rows_;
  wxCommandProcessor history_;
  int step_depth_ = 0;
  bool edit_armed_ = false;
  wxTextCtrl* editor_ = nullptr;
  int editor_row_ = -1;
  int editor_col_ = -1;
  int base_width_ = 0;
};

}  // namespace georeckon
