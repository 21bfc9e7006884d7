// The plan map as files, without a window: the printed page as SVG or PDF
// (true scale: one map unit is 0.01 mm on the page) and the drawing for CAD
// as ASCII DXF (release 12 subset).
//
// The DXF is in object units (mm) in the map plane, without the view's own
// rotations and margins: x = X, y = Y cos(theta0) - Z sin(theta0). Each
// space point is a POINT and a TEXT (its number) on layer POINTS, each
// distance a LINE on layer DISTANCES, each feature an INSERT of the block
// SYMBOL_t (its symbol, in symbol units) on layer SYMBOL_t.
#pragma once

#include <string>

#include "measure/model/plan_map.h"

namespace vistamet {

enum class MapFileKind { kUnknown, kSvg, kPdf, kDxf };

// By the file name's extension, case-insensitive.
MapFileKind MapFileKindOf(const std::string& path);

// The page of a painted map as SVG or PDF bytes. `doc` is painted with
// `view` (its map positions are recomputed).
std::string PlanMapSvg(CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                       const std::string& time_text);
std::string PlanMapPdf(CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                       const std::string& time_text);
// The DXF bytes; text heights are 2.5 mm on paper at 1:N (N from the
// document). Empty when the projection cannot be set (no plane point).
std::string PlanMapDxf(const CVistametDoc& doc, const SymbolLibrary& symbols);

// Writes the file chosen by the extension. 1 on success; 0 with *error.
int ExportPlanMap(const CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                  const std::string& path, std::string* error);

}  // namespace vistamet
