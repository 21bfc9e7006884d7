#include "measure/shell/data_tables.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <unordered_map>

#include "common/strformat.h"
#include "measure/compute/camera_model.h"
#include "measure/records/texts.h"
#include "measure/shell/app_texts.h"
#include "measure/shell/photo_commands.h"

namespace vistamet {

namespace {

using common::StrFormat;

// A value with three decimals; one that rounds to zero shows no sign
// ("-0.000" reads as a measurement below zero).
std::string Fixed3(double v) {
  std::string text = StrFormat("%.3f", v);
  if (text == "-0.000") text.erase(0, 1);
  return text;
}

TableRow Footer(std::string text, size_t columns) {
  TableRow row;
  row.cells.assign(columns, std::string());
  row.cells[0] = std::move(text);
  row.icon = kIconFooter;
  row.footer = true;
  return row;
}

void Distances(CVistametDoc& doc, DataTable& t) {
  t.columns = {{ui::kColNumber, 100, ColumnAlign::kCentre},
               {ui::kColStart, 100, ColumnAlign::kCentre},
               {ui::kColEnd, 100, ColumnAlign::kCentre},
               {ui::kColSpaceDistance, 100, ColumnAlign::kRight}};
  // One look-up table of the space points for all distances.
  std::unordered_map<int32_t, const SpacePoint*> points;
  points.reserve(doc.spacePoints.size());
  for (const SpacePoint& p : doc.spacePoints) points.emplace(p.pointNumber, &p);
  auto find = [&points](int32_t number) -> const SpacePoint* {
    const auto it = points.find(number);
    return it == points.end() ? nullptr : it->second;
  };
  // Distances whose space points are gone leave the list on the spot.
  DistancePairs kept;
  kept.reserve(doc.distancePairs.size());
  for (size_t k = 0; k + 1 < doc.distancePairs.size(); k += 2) {
    if (!find(doc.distancePairs[k]) || !find(doc.distancePairs[k + 1])) continue;
    kept.push_back(doc.distancePairs[k]);
    kept.push_back(doc.distancePairs[k + 1]);
  }
  if (kept.size() != doc.distancePairs.size()) {
    doc.distancePairs = std::move(kept);
    doc.highlightList.clear();
    doc.SetModified();
  }
  const int n = doc.DistanceCount();
  t.rows.reserve(n + 1);
  // The newest distance first.
  for (int i = n - 1; i >= 0; --i) {
    TableRow row;
    row.start = doc.distancePairs[2 * i];
    row.end = doc.distancePairs[2 * i + 1];
    const SpacePoint* a = find(row.start);
    const SpacePoint* b = find(row.end);
    const double mm = std::sqrt((a->X - b->X) * (a->X - b->X) + (a->Y - b->Y) * (a->Y - b->Y) +
                                (a->Z - b->Z) * (a->Z - b->Z));
    row.cells = {StrFormat("%d", i + 1), StrFormat("%d", row.start), StrFormat("%d", row.end),
                 Fixed3(mm * 0.001)};
    row.icon = kIconDistance;
    row.key = i;
    t.rows.push_back(std::move(row));
  }
  t.rows.push_back(Footer(StrFormat(ui::kFooterDistances, n), t.columns.size()));
}

void SpacePoints(const CVistametDoc& doc, DataTable& t) {
  t.columns = {{ui::kColPointNumber, 120, ColumnAlign::kCentre},
               {"X(m)", 100, ColumnAlign::kRight},
               {"Y(m)", 100, ColumnAlign::kRight},
               {"Z(m)", 100, ColumnAlign::kRight},
               {ui::kColRays, 200, ColumnAlign::kCentre}};
  // After an adjustment that estimated them, the standard deviations of
  // every adjusted point (blank for points it did not adjust).
  const AdjustPrecision& precision = doc.lastAdjustment.precision;
  const bool sigmas = doc.adjusted == 1 && precision.available;
  if (sigmas) {
    for (const char* name : {"σX(mm)", "σY(mm)", "σZ(mm)"})
      t.columns.push_back({name, 80, ColumnAlign::kRight});
  }
  t.rows.reserve(doc.spacePoints.size() + 1);
  for (const SpacePoint& s : doc.spacePoints) {
    TableRow row;
    row.cells = {StrFormat("%d", s.pointNumber), Fixed3(s.X * 0.001),
                 Fixed3(s.Y * 0.001), Fixed3(s.Z * 0.001),
                 StrFormat("%d", s.rayCount)};
    if (sigmas) {
      const std::array<double, 3>* sigma = precision.OfPoint(s.pointNumber);
      for (int k = 0; k < 3; ++k) row.cells.push_back(sigma ? StrFormat("%.3f", (*sigma)[k]) : "");
    }
    row.icon = s.controlFlag == 1 ? kIconArrow : kIconSpacePoint;
    row.key = s.pointNumber;
    t.rows.push_back(std::move(row));
  }
  TableRow footer = Footer(StrFormat(ui::kFooterSpacePoints, static_cast<int>(doc.spacePoints.size())),
                           t.columns.size());
  footer.cells[4] = text::kRayCountNote;
  t.rows.push_back(std::move(footer));
}

void ImagePoints(const CVistametDoc& doc, DataTable& t) {
  t.columns = {{ui::kColPointNumber, 120, ColumnAlign::kCentre},
               {ui::kColPhotoX, 100, ColumnAlign::kRight},
               {ui::kColPhotoY, 100, ColumnAlign::kRight},
               {ui::kColPhotoIndex, 100, ColumnAlign::kCentre}};
  t.rows.reserve(doc.imagePoints.size() + 1);
  for (size_t i = 0; i < doc.imagePoints.size(); ++i) {
    const ImagePoint& p = doc.imagePoints[i];
    ImagePoint mm = p;
    doc.ToPhotoMm(mm);
    TableRow row;
    const bool numbered = p.pointNumber != kNoNumber;
    row.cells = {numbered ? StrFormat("%d", p.pointNumber) : std::string("-"),
                 StrFormat("%f", mm.x), StrFormat("%f", mm.y), StrFormat("%d", p.photoIndex + 1)};
    row.icon = numbered ? kIconImagePoint : kIconQuestion;
    row.key = static_cast<int32_t>(i);
    row.start = p.pointNumber;
    row.end = p.photoIndex;
    t.rows.push_back(std::move(row));
  }
  t.rows.push_back(Footer(StrFormat(ui::kFooterImagePoints, static_cast<int>(doc.imagePoints.size())),
                          t.columns.size()));
}

void Photos(const CVistametDoc& doc, DataTable& t) {
  t.columns.push_back({ui::kColPhotoNumber, 100, ColumnAlign::kCentre});
  for (const char* title : {"Xs(m)", "Ys(m)", "Zs(m)", ui::kColPhi, ui::kColOmega, ui::kColKappa,
                            "f(mm)", "u0(mm)", "v0(mm)", "A1", "A2", "R0(mm)", "mm/Pixel"})
    t.columns.push_back({title, 100, ColumnAlign::kRight});
  t.columns.push_back({ui::kColPath, 300, ColumnAlign::kLeft});
  for (int i = 0; i < doc.PhotoCount(); ++i) {
    const PhotoParams& p = doc.photoParams[i];
    TableRow row;
    row.cells = {StrFormat("%d", i + 1),
                 Fixed3(p.Xs * 0.001),
                 Fixed3(p.Ys * 0.001),
                 Fixed3(p.Zs * 0.001),
                 Fixed3(Degrees(p.phi)),
                 Fixed3(Degrees(p.omega)),
                 Fixed3(Degrees(p.kappa)),
                 StrFormat("%.3f", p.f),
                 StrFormat("%.3f", p.u0),
                 StrFormat("%.3f", p.v0),
                 StrFormat("%.4e", p.A1),
                 StrFormat("%.4e", p.A2),
                 StrFormat("%.3f", p.R0),
                 StrFormat("%.6f", p.pixelSize),
                 doc.photoPaths[i]};
    row.icon = i == doc.currentPhoto ? kIconArrow : kIconPhoto;
    row.key = i;
    t.rows.push_back(std::move(row));
  }
  t.rows.push_back(Footer(StrFormat(ui::kFooterPhotos, doc.PhotoCount()), t.columns.size()));
}

bool ReadNumber(const std::string& s, double* v) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool OneEntrySelected(const CVistametDoc& doc, const DataTable& t, const std::vector<int>& rows) {
  return !doc.WorkRunning() && rows.size() == 1 && t.rows.size() >= 2 && rows[0] >= 0 &&
         rows[0] < static_cast<int>(t.rows.size()) && !t.rows[rows[0]].footer;
}

std::string CsvCell(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

}  // namespace

double Degrees(double radians) { return radians * (180.0 / std::numbers::pi); }

DataTable BuildTable(CVistametDoc& doc, ListKind kind) {
  DataTable t;
  t.kind = kind;
  switch (kind) {
    case ListKind::kDistances: Distances(doc, t); break;
    case ListKind::kSpacePoints: SpacePoints(doc, t); break;
    case ListKind::kImagePoints: ImagePoints(doc, t); break;
    case ListKind::kPhotos: Photos(doc, t); break;
  }
  return t;
}

void SortTable(DataTable& table, int column, bool ascending) {
  if (table.rows.empty() || column < 0 || column >= static_cast<int>(table.columns.size())) return;
  auto end = table.rows.end();
  if (table.rows.back().footer) --end;
  std::stable_sort(table.rows.begin(), end, [column, ascending](const TableRow& a, const TableRow& b) {
    const std::string& x = a.cells[column];
    const std::string& y = b.cells[column];
    double u = 0, v = 0;
    const bool less = ReadNumber(x, &u) && ReadNumber(y, &v) ? u < v : x < y;
    const bool greater = ReadNumber(x, &u) && ReadNumber(y, &v) ? v < u : y < x;
    return ascending ? less : greater;
  });
}

std::vector<int32_t> HighlightForSelection(const DataTable& table, const std::vector<int>& rows) {
  std::vector<int32_t> out;
  if (table.kind != ListKind::kDistances || rows.empty() || table.rows.size() < 2) return out;
  if (rows[0] < 0 || rows[0] >= static_cast<int>(table.rows.size()) || table.rows[rows[0]].footer)
    return out;
  for (int r : rows) {
    if (r < 0 || r >= static_cast<int>(table.rows.size()) || table.rows[r].footer) break;
    out.push_back(table.rows[r].key);
  }
  return out;
}

bool CanDeleteRow(const CVistametDoc& doc, const DataTable& table, const std::vector<int>& rows) {
  return OneEntrySelected(doc, table, rows);
}

bool CanRenameRow(const CVistametDoc& doc, const DataTable& table, const std::vector<int>& rows) {
  return table.kind == ListKind::kSpacePoints && OneEntrySelected(doc, table, rows);
}

int DeleteRowRecord(CVistametDoc& doc, const DataTable& table, int r) {
  if (!OneEntrySelected(doc, table, {r})) return 0;
  const TableRow& row = table.rows[r];
  int done = 0;
  switch (table.kind) {
    case ListKind::kDistances:
      // Still the same two ends at that index?
      if (row.key >= 0 && row.key < doc.DistanceCount() &&
          doc.distancePairs[2 * row.key] == row.start && doc.distancePairs[2 * row.key + 1] == row.end)
        done = doc.RemoveDistance(row.key);
      break;
    case ListKind::kSpacePoints:
      if (doc.FindSpacePoint(row.key) >= 0) done = doc.DeleteSpacePoint(row.key, true);
      break;
    case ListKind::kImagePoints:
      if (row.start != kNoNumber && row.key < static_cast<int32_t>(doc.imagePoints.size()) &&
          doc.imagePoints[row.key].pointNumber == row.start &&
          doc.imagePoints[row.key].photoIndex == row.end)
        done = doc.ClearImagePointNumber(row.key);
      break;
    case ListKind::kPhotos:
      if (doc.ValidPhoto(row.key) && doc.photoPaths[row.key] == row.cells.back())
        return DeletePhotoCommand(doc, row.key);  // asks, refreshes
      break;
  }
  if (!done) return 0;
  doc.SetModified();
  doc.UpdateViews(ViewUpdate::kAll);
  return 1;
}

int RenameRowRecord(CVistametDoc& doc, const DataTable& table, int r, int32_t to) {
  if (!CanRenameRow(doc, table, {r})) return 0;
  const int32_t from = table.rows[r].key;
  if (doc.FindSpacePoint(from) < 0) return 0;
  if (doc.FindSpacePoint(to) >= 0) {
    if (UserPrompt* prompt = doc.Prompt())
      prompt->Message(StrFormat(text::kSpacePointExists, to), Icon::kError);
    return 0;
  }
  if (!doc.RenameSpacePoint(from, to)) return 0;
  doc.UpdateViews(ViewUpdate::kAll);
  return 1;
}

std::string TableText(const DataTable& table, const std::vector<int>& rows) {
  std::string out;
  for (size_t c = 0; c < table.columns.size(); ++c)
    out += (c ? "\t" : "") + table.columns[c].title;
  out += '\n';
  for (int r : rows) {
    if (r < 0 || r >= static_cast<int>(table.rows.size())) continue;
    const TableRow& row = table.rows[r];
    for (size_t c = 0; c < row.cells.size(); ++c) out += (c ? "\t" : "") + row.cells[c];
    out += '\n';
  }
  return out;
}

std::string TableCsv(const DataTable& table) {
  std::string out = "\xEF\xBB\xBF";
  for (size_t c = 0; c < table.columns.size(); ++c)
    out += (c ? "," : "") + CsvCell(table.columns[c].title);
  out += "\r\n";
  for (const TableRow& row : table.rows) {
    for (size_t c = 0; c < row.cells.size(); ++c) out += (c ? "," : "") + CsvCell(row.cells[c]);
    out += "\r\n";
  }
  return out;
}

}  // namespace vistamet
