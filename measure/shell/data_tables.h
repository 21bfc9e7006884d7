// The four tables of the data list window (distances, space points, image
// points, photos), apart from any window: their columns, rows, footers and
// icons, which distances a selection highlights, what delete and rename do
// to the row's record, sorting, and the text and CSV the user copies out.
//
// A row remembers the record it shows (distance index, point number, image
// point index, photo index), so that a delete or rename after the project
// changed acts on that record or on nothing, never on whatever now sits at
// the row's position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

// The table shown, as stored in the document's listMode.
enum class ListKind : int32_t { kDistances = 0, kSpacePoints = 1, kImagePoints = 2, kPhotos = 3 };

// Icons of the rows, indices into the list's icon strip.
enum ListIcon : int {
  kIconDistance = 0,
  kIconSpacePoint = 1,
  kIconImagePoint = 2,
  kIconPhoto = 3,
  kIconArrow = 6,     // a control point, or the current photo
  kIconFooter = 12,
  kIconQuestion = 15, // an unnumbered image point
};

enum class ColumnAlign { kLeft, kCentre, kRight };

struct TableColumn {
  std::string title;
  int width = 100;
  ColumnAlign align = ColumnAlign::kRight;
};

struct TableRow {
  std::vector<std::string> cells;
  int icon = 0;
  bool footer = false;
  // The record: distance index, space point number, image point index or
  // photo index by the table's kind; for distances also their two ends.
  int32_t key = -1;
  int32_t start = kNoNumber, end = kNoNumber;
};

struct DataTable {
  ListKind kind = ListKind::kDistances;
  std::vector<TableColumn> columns;
  std::vector<TableRow> rows;  // the footer last
};

// Builds the table of `kind`. The distance table first drops the distances
// whose space points are gone (the document changes then, as the list has
// always done).
DataTable BuildTable(CVistametDoc& doc, ListKind kind);

// Degrees of an angle in radians, exactly (180 / pi).
double Degrees(double radians);

// Sorts the entries (the footer stays last) by column `column`, numbers by
// value where both cells read as numbers, text otherwise.
void SortTable(DataTable& table, int column, bool ascending);

// The distance indexes highlighted for a selection (row indexes in order):
// none unless the table shows distances and the first selected row is an
// entry; the selected entries up to the footer otherwise.
std::vector<int32_t> HighlightForSelection(const DataTable& table, const std::vector<int>& rows);

// Whether delete (and, for space points, rename) applies to one selected
// row: an entry of a table with at least two rows, and no extraction running.
bool CanDeleteRow(const CVistametDoc& doc, const DataTable& table, const std::vector<int>& rows);
bool CanRenameRow(const CVistametDoc& doc, const DataTable& table, const std::vector<int>& rows);

// Deletes the record of `row` when it still is what the row shows: the
// distance, the space point (as the image view's delete-space-point mode),
// the number of the image point (the point stays), or the photo (asking
// first). Refreshes every view. 1 when something was deleted.
int DeleteRowRecord(CVistametDoc& doc, const DataTable& table, int row);

// Renames the space point of `row` to `to`: "空间点%d已经存在!" when a space
// point `to` exists (the same number included). 1 when renamed.
int RenameRowRecord(CVistametDoc& doc, const DataTable& table, int row, int32_t to);

// The rows as text, cells separated by tabs and rows by line ends, headers
// first (for the clipboard).
std::string TableText(const DataTable& table, const std::vector<int>& rows);
// The whole table as CSV in UTF-8 with a byte-order mark (spreadsheet
// programs then read the Chinese headers), footer included.
std::string TableCsv(const DataTable& table);

}  // namespace vistamet
