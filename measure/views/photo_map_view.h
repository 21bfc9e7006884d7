// The plan map window of a project: the adjusted points, distances and map
// features drawn on the plane of the projection plane point at 1:N, with two
// toolbars, the scale selector, the three mouse modes, printing at true
// scale and the exports (PDF, SVG, DXF).
//
// On screen one pixel is k map units (0.01 mm on paper) for the drawing and
// the mouse alike, so a click lands where the cursor is; the printer gets
// the metric mapping of its own resolution.
#pragma once

#include <string>

#include <wx/printdlg.h>
#include <wx/prntbase.h>
#include <wx/scrolwin.h>

#include "measure/model/plan_map.h"
#include "measure/model/symbol_library.h"
#include "measure/shell/map_clicks.h"
#include "measure/views/plain_doc_view.h"

class wxChoice;
class wxMenu;

namespace vistamet {

class CProjectDocument;

class CPlanMapCanvas : public wxScrolledCanvas {
 public:
  CPlanMapCanvas(wxWindow* parent, CProjectDocument* doc, const SymbolLibrary* symbols);

  MapViewState& View() { return view_; }
  const MapProjection& Projection() const { return projection_; }
  const MapClicks& Clicks() const { return clicks_; }

  // Map units of a client position, and the client position of map units.
  void MapAt(const wxPoint& client, double* mx, double* my) const;
  wxPoint ClientOf(double mx, double my) const;
  // Recomputes the projection and map positions as a paint would.
  void UpdateProjection();
  // Draws the map into `dc` whose logical units are canvas pixels.
  void Render(wxDC& dc);
  void ResetClicks();

  // What the mouse does, also called by the tests with client positions.
  void LeftDownAt(const wxPoint& client);
  void MoveTo(const wxPoint& client, bool left_down);
  void LeftUpAt(const wxPoint& client);
  void DoubleClickAt(const wxPoint& client);

 private:
  void OnDraw(wxDC& dc) override;
  void OnMouse(wxMouseEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void SetCursorFor(double mx, double my);
  bool EditFeature(MapFeature& feature);

  CProjectDocument* doc_;
  const SymbolLibrary* symbols_;
  MapViewState view_;
  MapProjection projection_;
  MapClicks clicks_;
  double pointer_x_ = 0, pointer_y_ = 0;  // map units
  bool pointer_in_ = false;
};

// One page: the map at true scale on the printer's (or preview's) device.
// It keeps its own copy of the map, so a preview can outlive the project.
class CPlanMapPrintout : public wxPrintout {
 public:
  CPlanMapPrintout(const CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols);
  bool OnPrintPage(int page) override;
  bool HasPage(int page) override { return page == 1; }
  void GetPageInfo(int* min, int* max, int* from, int* to) override;
  // Device pixels per millimetre of paper on the current DC.
  double PixelsPerMm();

 private:
  CVistametDoc map_;
  MapViewState view_;
  SymbolLibrary symbols_;
};

class CPhotoMapView : public CPlainDocView {
 public:
  CPhotoMapView();
  ~CPhotoMapView() override;
  ViewKind Kind() const override { return ViewKind::kPlanMap; }
  void OnUpdate(wxView* sender, wxObject* hint) override;

  CPlanMapCanvas* Canvas() const { return canvas_; }
  wxChoice* ScaleChoice() const { return scale_; }
  const SymbolLibrary& Symbols() const { return symbols_; }
  // The commands of the toolbars and the file menu (the tests send them).
  void DoCommand(int id);
  // Writes the map chosen by the extension (.pdf, .svg, .dxf).
  bool Export(const std::string& path, std::string* error);
  wxPrintout* MakePrintout();
  // The framework's print and preview commands (main menu and toolbar)
  // print the map as its own menu does.
  wxPrintout* OnCreatePrintout() override { return canvas_ ? MakePrintout() : nullptr; }

 protected:
  wxWindow* MakeContent(wxDocMDIChildFrame* frame) override;

 private:
  void LoadSymbols(wxWindow* parent);
  wxWindow* MakeToolbars(wxWindow* parent);
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void ChooseScale(int index);
  void SelectScaleEntry();

  SymbolLibrary symbols_;
  CPlanMapCanvas* canvas_ = nullptr;
  wxChoice* scale_ = nullptr;
  wxMenu* recent_ = nullptr;  // this window's recent-file menu
  bool first_update_ = true;

  wxDECLARE_DYNAMIC_CLASS(CPhotoMapView);
};

}  // namespace vistamet
