#include "measure/views/photo_map_view.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/print.h>
#include <wx/sizer.h>
#include <wx/stdpaths.h>
#include <wx/toolbar.h>

#include "common/strformat.h"
#include "measure/app/command_ids.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/menus.h"
#include "measure/app/project_document.h"
#include "measure/model/map_export.h"
#include "measure/shell/app_texts.h"
#include "measure/views/dc_sink.h"
#include "measure/views/feature_dialog.h"
#include "measure/views/map_title_dialog.h"
#include "measure/views/tool_cursors.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }
wxString TipOf(const char* text) {
  const wxString t = U(text);
  return t.Contains("\n") ? t.AfterFirst('\n') : t;
}
wxString PromptOf(const char* text) { return U(text).BeforeFirst('\n'); }

// A 16 x 16 tool picture: a short glyph in the tool's colour.
wxBitmap Glyph(const char* text, const wxColour& colour) {
  wxBitmap bitmap(16, 16, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    wxFont font = *wxNORMAL_FONT;
    font.SetPixelSize(wxSize(0, 13));
    dc.SetFont(font);
    dc.SetTextForeground(colour);
    const wxString s = U(text);
    const wxSize ext = dc.GetTextExtent(s);
    dc.DrawText(s, (16 - ext.x) / 2, (16 - ext.y) / 2);
  }
  wxImage image = bitmap.ConvertToImage();
  image.SetMaskColour(255, 255, 255);
  return wxBitmap(image);
}

}  // namespace

// --- The canvas ---

CPlanMapCanvas::CPlanMapCanvas(wxWindow* parent, CProjectDocument* doc, const SymbolLibrary* symbols)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxSize(300, 200),
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      doc_(doc),
      symbols_(symbols) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetBackgroundColour(*wxWHITE);
  SetScrollRate(10, 10);
  // 10000 x 10000 map units until the first paint.
  SetVirtualSize(static_cast<int>(10000 / view_.k), static_cast<int>(10000 / view_.k));
  for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MOTION})
    Bind(type, &CPlanMapCanvas::OnMouse, this);
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) {
    pointer_in_ = false;
    if (clicks_.Counter() > 0) Refresh();
    e.Skip();
  });
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { clicks_.Release(); });
  Bind(wxEVT_CONTEXT_MENU, &CPlanMapCanvas::OnContextMenu, this);
}

void CPlanMapCanvas::MapAt(const wxPoint& client, double* mx, double* my) const {
  const wxPoint p = CalcUnscrolledPosition(client);
  *mx = p.x * view_.k;
  *my = -p.y * view_.k;
}

wxPoint CPlanMapCanvas::ClientOf(double mx, double my) const {
  return CalcScrolledPosition(
      wxPoint(static_cast<int>(std::lround(mx / view_.k)), static_cast<int>(std::lround(-my / view_.k))));
}

void CPlanMapCanvas::UpdateProjection() {
  CVistametDoc& core = doc_->Core();
  projection_ = MapProjection();
  if (projection_.Set(core, view_)) projection_.Place(core);
}

void CPlanMapCanvas::Render(wxDC& dc) {
  CDcSink sink(dc, 1.0 / view_.k);
  projection_ = PaintPlanMap(doc_->Core(), view_, *symbols_, MapTimeText(), sink);
}

void CPlanMapCanvas::OnDraw(wxDC& dc) {
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  Render(dc);
  int64_t w, h;
  projection_.DrawingSize(&w, &h);
  const wxSize size(static_cast<int>(std::min<int64_t>(w / view_.k, 1000000)),
                    static_cast<int>(std::min<int64_t>(h / view_.k, 1000000)));
  if (size != GetVirtualSize()) CallAfter([this, size] { SetVirtualSize(size); });
  // The rubber band of a distance, from the first end to the pointer.
  if (clicks_.Counter() > 0 && pointer_in_ && doc_->Core().mapEditFeatures != kMapEditFeatures) {
    CDcSink band(dc, 1.0 / view_.k);
    band.Line(clicks_.AnchorX(), clicks_.AnchorY(), pointer_x_, pointer_y_, 3 * view_.k, Rgb(255, 255, 255));
    band.Line(clicks_.AnchorX(), clicks_.AnchorY(), pointer_x_, pointer_y_, view_.k, Rgb(0, 0, 0));
  }
}

void CPlanMapCanvas::ResetClicks() {
  clicks_.Reset();
  Refresh();
}

void CPlanMapCanvas::OnMouse(wxMouseEvent& event) {
  const wxPoint at = event.GetPosition();
  if (event.LeftDClick()) DoubleClickAt(at);
  else if (event.LeftDown()) LeftDownAt(at);
  else if (event.LeftUp()) LeftUpAt(at);
  else if (event.Moving() || event.Dragging()) MoveTo(at, event.LeftIsDown());
  event.Skip(event.LeftDown());  // the focus follows a click
}

void CPlanMapCanvas::LeftDownAt(const wxPoint& client) {
  double mx, my;
  MapAt(client, &mx, &my);
  UpdateProjection();
  const MapClick outcome = clicks_.Press(doc_->Core(), projection_, view_.k, mx, my);
  if (clicks_.Dragged() >= 0) {
    SetCursor(wxCursor(wxCURSOR_SIZING));
    if (!HasCapture()) CaptureMouse();
  }
  if (outcome != MapClick::kNothing) Refresh();
}

void CPlanMapCanvas::MoveTo(const wxPoint& client, bool left_down) {
  MapAt(client, &pointer_x_, &pointer_y_);
  pointer_in_ = true;
  if (left_down && clicks_.Dragged() >= 0) {
    if (clicks_.DragTo(doc_->Core(), projection_, pointer_x_, pointer_y_)) Refresh();
    return;
  }
  SetCursorFor(pointer_x_, pointer_y_);
  if (clicks_.Counter() > 0) Refresh();
}

void CPlanMapCanvas::LeftUpAt(const wxPoint& client) {
  clicks_.Release();
  if (HasCapture()) ReleaseMouse();
  double mx, my;
  MapAt(client, &mx, &my);
  SetCursorFor(mx, my);
}

void CPlanMapCanvas::DoubleClickAt(const wxPoint& client) {
  if (HasCapture()) ReleaseMouse();
  double mx, my;
  MapAt(client, &mx, &my);
  UpdateProjection();
  clicks_.DoubleClick(doc_->Core(), projection_, view_.k, mx, my,
                      [this](MapFeature& f) { return EditFeature(f); });
  Refresh();
}

bool CPlanMapCanvas::EditFeature(MapFeature& feature) {
  CFeatureDialog dialog(this, feature, *symbols_);
  if (dialog.ShowModal() != wxID_OK) return false;
  feature = dialog.Feature();
  return true;
}

void CPlanMapCanvas::SetCursorFor(double mx, double my) {
  const CVistametDoc& core = doc_->Core();
  switch (core.mapEditFeatures) {
    case kMapEditFeatures:
      if (HitMapFeature(core, view_.k, mx, my) >= 0) SetCursor(CursorFor(ToolCursor::kPlanePoint));
      else SetCursor(wxCursor(wxCURSOR_CROSS));
      break;
    case kMapSpatialDistance:
      SetCursor(CursorFor(HitMapPoint(core, view_.k, mx, my, true) >= 0 ? ToolCursor::kDistanceHit
                                                                        : ToolCursor::kDistance));
      break;
    default:
      if (HitMapPoint(core, view_.k, mx, my, false) >= 0) SetCursor(CursorFor(ToolCursor::kEdit));
      else SetCursor(wxCursor(wxCURSOR_CROSS));
  }
}

void CPlanMapCanvas::OnContextMenu(wxContextMenuEvent&) {
  // A right click returns to feature editing; no menu opens.
  doc_->Core().mapEditFeatures = kMapEditFeatures;
  clicks_.Reset();
  Refresh();
}

// --- Printing ---

CPlanMapPrintout::CPlanMapPrintout(const CVistametDoc& doc, const MapViewState& view,
                                   const SymbolLibrary& symbols)
    : wxPrintout(U(ui::kMapPrintTitle)), map_(MapSnapshot(doc)), view_(view), symbols_(symbols) {}

void CPlanMapPrintout::GetPageInfo(int* min, int* max, int* from, int* to) {
  *min = *from = 1;
  *max = *to = 1;
}

double CPlanMapPrintout::PixelsPerMm() {
  wxDC* dc = GetDC();
  int page_w = 0, page_h = 0, dc_w = 0, dc_h = 0, ppi_x = 0, ppi_y = 0;
  GetPageSizePixels(&page_w, &page_h);
  dc->GetSize(&dc_w, &dc_h);
  GetPPIPrinter(&ppi_x, &ppi_y);
  // The preview draws the printer's page smaller: dc_w of page_w pixels.
  const double shrink = page_w > 0 ? static_cast<double>(dc_w) / page_w : 1.0;
  return ppi_x / 25.4 * shrink;
}

bool CPlanMapPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (page != 1 || !dc) return false;
  dc->SetUserScale(1, 1);
  dc->SetDeviceOrigin(0, 0);
  const double px_per_unit = PixelsPerMm() * 0.01;  // a map unit is 0.01 mm
  CDcSink sink(*dc, px_per_unit, 0, 0, std::max(1, static_cast<int>(std::lround(350 * px_per_unit))));
  PaintPlanMap(map_, view_, symbols_, MapTimeText(), sink);
  return true;
}

// --- The view ---

wxIMPLEMENT_DYNAMIC_CLASS(CPhotoMapView, wxView);

CPhotoMapView::CPhotoMapView() : CPlainDocView(&CVistametDoc::mapWindowOn, ui::kTitlePlanMap) {}

CPhotoMapView::~CPhotoMapView() {
  // The window's recent-file menu goes with it. The frame may be gone by
  // now; the history only compares the menu's address.
  if (wxFileHistory* history = GetDocumentManager() ? GetDocumentManager()->GetFileHistory() : nullptr)
    if (recent_) history->RemoveMenu(recent_);
}

void CPhotoMapView::LoadSymbols(wxWindow* parent) {
  const wxString dir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
  const std::vector<std::string> places = SymbolLibraryPlaces(dir.ToStdString(wxConvUTF8));
  std::string error;
  for (const std::string& place : places)
    if (LoadPdxFile(place, &symbols_, &error)) return;
  // The message names the file beside the program.
  ShowMessage(parent, places.front() + ui::kSymbolLibraryMissing, Icon::kWarning);
}

wxWindow* CPhotoMapView::MakeContent(wxDocMDIChildFrame* frame) {
  LoadSymbols(frame);
  // The project windows' menus, with the export beside the print commands;
  // the framework's print and preview commands print this view's map.
  auto* manager = GetDocumentManager();
  wxMenuBar* bar = CreateProjectMenuBar(manager ? manager->GetFileHistory() : nullptr);
  wxMenu* file = bar->GetMenu(0);
  size_t at = 0;
  if (file->FindChildItem(wxID_PRINT_SETUP, &at)) file->Insert(at + 1, kCmdMapExport, U(ui::kMapExport));
  else file->Append(kCmdMapExport, U(ui::kMapExport));
  recent_ = RecentFilesMenu(bar);
  frame->SetMenuBar(bar);

  auto* panel = new wxPanel(frame);
  canvas_ = new CPlanMapCanvas(panel, ProjectDoc(), &symbols_);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(MakeToolbars(panel), 0, wxEXPAND);
  sizer->Add(canvas_, 1, wxEXPAND);
  panel->SetSizer(sizer);
  frame->Bind(wxEVT_MENU, [this](wxCommandEvent& e) { DoCommand(e.GetId()); }, kCmdMapShowDistances,
              kCmdMapExport);
  frame->Bind(wxEVT_UPDATE_UI, &CPhotoMapView::OnUpdateCommand, this, kCmdMapShowDistances,
              kCmdMapExport);
  OnUpdate(nullptr, nullptr);
  return panel;
}

wxWindow* CPhotoMapView::MakeToolbars(wxWindow* parent) {
  auto* holder = new wxPanel(parent);
  auto* box = new wxBoxSizer(wxHORIZONTAL);
  auto* first = new wxToolBar(holder, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTB_HORIZONTAL | wxTB_FLAT);
  auto* second = new wxToolBar(holder, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                               wxTB_HORIZONTAL | wxTB_FLAT);
  auto tool = [](wxToolBar* bar, int id, const char* glyph, const wxColour& colour, const char* text,
                 wxItemKind kind) {
    bar->AddTool(id, TipOf(text), Glyph(glyph, colour), TipOf(text), kind);
    bar->SetToolLongHelp(id, PromptOf(text));
  };
  const wxColour blue(0, 0, 200), red(200, 0, 0), dark(40, 40, 40), magenta(200, 0, 200);
  tool(first, kCmdMapShowDistances, "距", blue, ui::kMapShowDistances, wxITEM_CHECK);
  tool(first, kCmdMapPlaneDistances, "投", blue, ui::kMapPlaneDistances, wxITEM_CHECK);
  first->AddSeparator();
  tool(first, kCmdMapShowPoints, "点", magenta, ui::kMapShowPoints, wxITEM_CHECK);
  first->AddSeparator();
  tool(first, kCmdMapShowFeatures, "物", red, ui::kMapShowFeatures, wxITEM_CHECK);
  first->AddSeparator();
  scale_ = new wxChoice(first, kCmdMapScale, wxDefaultPosition, wxSize(100, -1));
  for (int n : kMapScales) scale_->Append(wxString::Format("1:%d", n));
  scale_->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { ChooseScale(e.GetSelection()); });
  first->AddControl(scale_);
  first->AddSeparator();
  tool(first, kCmdMapLeft, "←", dark, ui::kMapLeft, wxITEM_NORMAL);
  tool(first, kCmdMapRight, "→", dark, ui::kMapRight, wxITEM_NORMAL);
  tool(first, kCmdMapUp, "↑", dark, ui::kMapUp, wxITEM_NORMAL);
  tool(first, kCmdMapDown, "↓", dark, ui::kMapDown, wxITEM_NORMAL);
  tool(first, kCmdMapTurn, "↺", dark, ui::kMapTurn, wxITEM_NORMAL);
  tool(first, kCmdMapTurnX, "X", dark, ui::kMapTurnX, wxITEM_NORMAL);
  first->AddSeparator();
  tool(first, kCmdMapTitle, "T", dark, ui::kMapTitleCommand, wxITEM_NORMAL);
  first->Realize();
  tool(second, kCmdMapModeFeatures, "编", red, ui::kMapModeFeatures, wxITEM_RADIO);
  tool(second, kCmdMapModeSpatial, "空", blue, ui::kMapModeSpatial, wxITEM_RADIO);
  tool(second, kCmdMapModePlane, "平", blue, ui::kMapModePlane, wxITEM_RADIO);
  second->Realize();
  box->Add(first, 0, wxEXPAND);
  box->AddSpacer(8);
  box->Add(second, 0, wxEXPAND);
  holder->SetSizer(box);
  return holder;
}

void CPhotoMapView::OnUpdate(wxView*, wxObject* hint) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !canvas_) return;
  const auto* h = dynamic_cast<CUpdateHint*>(hint);
  if (h && !h->Reaches(ViewUpdate::kPlanMap)) return;
  if (first_update_) {
    first_update_ = false;
    const int width = wxGetDisplaySize().x;
    if (width > 0) canvas_->View().k = 32000.0 / width;
    SelectScaleEntry();
  }
  canvas_->Refresh();
}

void CPhotoMapView::SelectScaleEntry() {
  const int n = SaneMapScale(ProjectDoc()->Core().mapScale);
  scale_->SetSelection(scale_->FindString(wxString::Format("1:%d", n)));
}

void CPhotoMapView::ChooseScale(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kMapScales))) return;
  CVistametDoc& core = ProjectDoc()->Core();
  core.mapScale = kMapScales[index];
  core.SetModified();
  canvas_->Refresh();
}

wxPrintout* CPhotoMapView::MakePrintout() {
  return new CPlanMapPrintout(ProjectDoc()->Core(), canvas_->View(), symbols_);
}

bool CPhotoMapView::Export(const std::string& path, std::string* error) {
  return ExportPlanMap(ProjectDoc()->Core(), canvas_->View(), symbols_, path, error) == 1;
}

void CPhotoMapView::DoCommand(int id) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !canvas_) return;
  CVistametDoc& core = doc->Core();
  MapViewState& view = canvas_->View();
  wxWindow* frame = GetFrame();
  auto full_circle = [frame](TurnOutcome outcome) {
    if (outcome == TurnOutcome::kFullCircle) ShowMessage(frame, ui::kFullCircle, Icon::kInformation);
  };
  switch (id) {
    case kCmdMapShowDistances: view.showDistances = !view.showDistances; break;
    case kCmdMapPlaneDistances: core.mapShowSpatialDist = !core.mapShowSpatialDist; break;
    case kCmdMapShowPoints: view.showSpacePoints = !view.showSpacePoints; break;
    case kCmdMapShowFeatures: view.showFeatures = !view.showFeatures; break;
    case kCmdMapLeft: ShiftMap(view, -1, 0); break;
    case kCmdMapRight: ShiftMap(view, 1, 0); break;
    case kCmdMapUp: ShiftMap(view, 0, -1); break;
    case kCmdMapDown: ShiftMap(view, 0, 1); break;
    case kCmdMapTurn: full_circle(TurnMap(view)); break;
    case kCmdMapTurnX: full_circle(TurnAboutX(view)); break;
    case kCmdMapTitle: {
      CMapTitleDialog dialog(frame, core.mapTitle, core.mapShowTime);
      if (dialog.ShowModal() != wxID_OK) return;
      core.mapTitle = dialog.Title();
      core.mapShowTime = dialog.ShowTime();
      core.SetModified();
      break;
    }
    case kCmdMapModeFeatures: core.mapEditFeatures = kMapEditFeatures; break;
    case kCmdMapModeSpatial:
    case kCmdMapModePlane:
      core.mapEditFeatures = id == kCmdMapModeSpatial ? kMapSpatialDistance : kMapPlaneDistance;
      canvas_->ResetClicks();
      break;
    case kCmdMapExport: {
      wxFileDialog dialog(frame, U(ui::kSaveAsTitle), wxEmptyString, wxEmptyString,
                          U(ui::kMapExportFilter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
      if (dialog.ShowModal() != wxID_OK) return;
      wxString path = dialog.GetPath();
      // The chosen type's extension when the name has none of ours.
      static const char* kExt[] = {".pdf", ".svg", ".dxf"};
      if (MapFileKindOf(path.ToStdString(wxConvUTF8)) == MapFileKind::kUnknown)
        path += kExt[std::clamp(dialog.GetFilterIndex(), 0, 2)];
      std::string error;
      if (!Export(path.ToStdString(wxConvUTF8), &error))
        ShowMessage(frame, common::StrFormat(ui::kMapExportFailed, error.c_str()), Icon::kError);
      return;
    }
    default:
      return;
  }
  canvas_->Refresh();
}

void CPhotoMapView::OnUpdateCommand(wxUpdateUIEvent& event) {
  CProjectDocument* doc = ProjectDoc();
  if (!doc || !canvas_) return;
  const CVistametDoc& core = doc->Core();
  const MapViewState& view = canvas_->View();
  switch (event.GetId()) {
    case kCmdMapShowDistances: event.Check(view.showDistances); break;
    case kCmdMapPlaneDistances:
      event.Enable(view.showDistances);
      event.Check(core.mapShowSpatialDist == 0);
      break;
    case kCmdMapShowPoints: event.Check(view.showSpacePoints); break;
    case kCmdMapShowFeatures: event.Check(view.showFeatures); break;
    case kCmdMapModeFeatures:
      event.Enable(view.showFeatures);
      event.Check(core.mapEditFeatures == kMapEditFeatures);
      break;
    case kCmdMapModeSpatial:
      event.Enable(view.showSpacePoints);
      event.Check(core.mapEditFeatures == kMapSpatialDistance);
      break;
    case kCmdMapModePlane: event.Check(core.mapEditFeatures == kMapPlaneDistance); break;
    default: break;
  }
}

}  // namespace vistamet
