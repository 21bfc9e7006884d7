#include "measure/app/project_document.h"

#include <unistd.h>

#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "common/gui/save_modified.h"
#include "common/strformat.h"
#include "measure/shell/app_texts.h"
#include "measure/app/command_ids.h"
#include "measure/app/doc_manager.h"
#include "measure/app/main_frame.h"
#include "measure/app/status_progress.h"
#include "measure/app/options_sheet.h"
#include "measure/shell/options_values.h"
#include "measure/app/user_settings_store.h"
#include "measure/model/project_file.h"

namespace vistamet {

namespace {

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }
wxString U(const char* s) { return wxString::FromUTF8(s); }

TemplateKind TemplateFor(ViewKind kind) {
  switch (kind) {
    case ViewKind::kProject: return TemplateKind::kProject;
    case ViewKind::kModel3D: return TemplateKind::kModel3D;
    case ViewKind::kDataList: return TemplateKind::kDataList;
    case ViewKind::kPlanMap: return TemplateKind::kPlanMap;
  }
  return TemplateKind::kProject;
}

bool WritableFolder(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CProjectDocument, wxDocument);

wxBEGIN_EVENT_TABLE(CProjectDocument, wxDocument)
  EVT_MENU(kCmdDataList, CProjectDocument::OnDataList)
  EVT_UPDATE_UI(kCmdDataList, CProjectDocument::OnUpdateDataList)
  EVT_MENU(kCmdPlanMap, CProjectDocument::OnPlanMap)
  EVT_UPDATE_UI(kCmdPlanMap, CProjectDocument::OnUpdatePlanMap)
  EVT_MENU(kCmdModel3D, CProjectDocument::OnModel3D)
  EVT_UPDATE_UI(kCmdModel3D, CProjectDocument::OnUpdateModel3D)
  EVT_MENU(kCmdOptions, CProjectDocument::OnOptions)
  EVT_MENU(kCmdExtract, CProjectDocument::OnExtract)
  EVT_UPDATE_UI(kCmdExtract, CProjectDocument::OnUpdateExtract)
  EVT_MENU(kCmdAdjust, CProjectDocument::OnAdjust)
  EVT_UPDATE_UI(kCmdAdjust, CProjectDocument::OnUpdateAdjust)
  EVT_MENU(kCmdSweepAll, CProjectDocument::OnSweepAll)
  EVT_UPDATE_UI(kCmdSweepAll, CProjectDocument::OnUpdateSweepAll)
  EVT_MENU(kCmdShiftOrigin, CProjectDocument::OnShiftOrigin)
  EVT_UPDATE_UI(kCmdShiftOrigin, CProjectDocument::OnUpdateIdle)
  EVT_MENU(kCmdDistanceTest, CProjectDocument::OnDistanceTest)
  EVT_UPDATE_UI(kCmdDistanceTest, CProjectDocument::OnUpdateIdle)
  EVT_UPDATE_UI(kCmdOptions, CProjectDocument::OnUpdateIdle)
  EVT_UPDATE_UI(wxID_SAVE, CProjectDocument::OnUpdateSave)
  EVT_MENU(kCmdNewWindow, CProjectDocument::OnNewWindow)
  EVT_UPDATE_UI(kCmdNewWindow, CProjectDocument::OnUpdateSave)
wxEND_EVENT_TABLE()

CProjectDocument::CProjectDocument()
    : core_(std::make_unique<CVistametDoc>(LoadUserSettings())),
      prompt_([this] { return GetDocumentWindow(); }) {
  Wire();
}

CProjectDocument::~CProjectDocument() {
  // The worker reads copies only, but its completion refers to this
  // document: it must be over before the document goes.
  StopWork();
}

void CProjectDocument::Wire() {
  core_->SetNotifier(this);
  core_->SetPrompt(&prompt_);
}

void CProjectDocument::UpdateViews(ViewUpdate what) {
  CUpdateHint hint(what);
  UpdateAllViews(nullptr, &hint);
}

// --- Framework ---

bool CProjectDocument::OnNewDocument() {
  if (!wxDocument::OnNewDocument()) return false;
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  const std::vector<std::string> photos =
      manager ? manager->TakePendingPhotos() : std::vector<std::string>();
  if (!photos.empty()) {
    auto fresh = std::make_unique<CVistametDoc>(LoadUserSettings());
    std::string error;
    if (!fresh->InitNewProject(photos, &error)) {
      ShowMessage(GetDocumentWindow(), error, Icon::kWarning);
      return false;
    }
    StopWork();
    core_ = std::move(fresh);
    Wire();
  }
  UpdateViews(ViewUpdate::kAll);
  StartAutomaticExtraction();
  return true;
}

bool CProjectDocument::DoOpenDocument(const wxString& file) {
  // Read into a fresh document and take it only when the whole file was
  // read: a refused file leaves nothing behind.
  auto fresh = std::make_unique<CVistametDoc>(LoadUserSettings());
  const LoadResult result = LoadProjectFile(Utf8(file), fresh.get());
  if (!result.ok()) {
    ShowMessage(GetDocumentWindow(), result.message, Icon::kWarning);
    return false;
  }
  StopWork();
  core_ = std::move(fresh);
  Wire();
  return true;
}

bool CProjectDocument::OnOpenDocument(const wxString& file) {
  if (!wxDocument::OnOpenDocument(file)) return false;
  // Every window shows the loaded project (a reverted one included).
  UpdateViews(ViewUpdate::kAll);
  StartAutomaticExtraction();
  if (core_->listWindowOn == 1 && !OpenWindow(ViewKind::kDataList)) core_->listWindowOn = 0;
  return true;
}

bool CProjectDocument::DoSaveDocument(const wxString& file) {
  std::string message;
  if (!SaveProjectFile(*core_, Utf8(file), &message)) {
    ShowMessage(GetDocumentWindow(), message, Icon::kError);
    return false;
  }
  return true;
}

bool CProjectDocument::Save() {
  // Saving always writes, also when nothing is marked modified: window
  // states such as the data list's are stored with the project.
  if (GetFilename().empty() || !GetDocumentSaved()) return SaveAs();
  return OnSaveDocument(GetFilename());
}

bool CProjectDocument::SaveAs() {
  wxDocTemplate* tmpl = GetDocumentTemplate();
  if (!tmpl) return false;
  const wxString filter = wxString::Format("%s (%s)|%s", tmpl->GetDescription(),
                                           tmpl->GetFileFilter(), tmpl->GetFileFilter());
  wxString dir = tmpl->GetDirectory();
  if (dir.empty()) dir = wxPathOnly(GetFilename());
  wxFileDialog dialog(GetDocumentWindow(), U(ui::kSaveAsTitle), dir,
                      wxFileNameFromPath(GetFilename()), filter,
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return false;
  return SaveAsPath(dialog.GetPath());
}

bool CProjectDocument::SaveAsPath(const wxString& chosen) {
  wxDocTemplate* tmpl = GetDocumentTemplate();
  if (chosen.empty() || !tmpl) return false;
  wxString path = chosen;
  if (wxFileName(path).GetExt().empty()) path += "." + tmpl->GetDefaultExtension();
  if (!OnSaveDocument(path)) return false;
  SetTitle(wxFileNameFromPath(path));
  SetFilename(path, true);
  if (GetDocumentManager()) GetDocumentManager()->AddFileToHistory(path);
  return true;
}

bool CProjectDocument::OnSaveModified() {
  return common::SaveModifiedDocument(*this, [this] {
    const std::string question =
        common::StrFormat(ui::kSaveChangesQuestion, Utf8(GetUserReadableName()).c_str());
    return AskYesNoCancel(GetDocumentWindow(), wxString::FromUTF8(question));
  });
}

bool CProjectDocument::OnCloseDocument() {
  StopWork();
  return wxDocument::OnCloseDocument();
}

void CProjectDocument::OnChangedViewList() {
  if (GetViews().empty()) {
    wxDocument::OnChangedViewList();  // deletes the document
    return;
  }
  // The project window is gone: the extra windows go with it. Deferred, as
  // the framework is still busy with the closing view.
  if (!FindView(ViewKind::kProject) && !closing_views_) {
    closing_views_ = true;
    CallAfter([this] { DeleteAllViews(); });
  }
}

// --- Windows ---

CDocViewBase* CProjectDocument::FindView(ViewKind kind) const {
  for (wxView* view : GetViewsVector()) {
    auto* v = dynamic_cast<CDocViewBase*>(view);
    if (v && v->Kind() == kind) return v;
  }
  return nullptr;
}

bool CProjectDocument::OpenWindow(ViewKind kind) {
  if (CDocViewBase* view = FindView(kind)) {
    view->BringToFront();
    return true;
  }
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  wxDocTemplate* tmpl = manager ? manager->Template(TemplateFor(kind)) : nullptr;
  if (!tmpl || !tmpl->CreateView(this, 0)) {
    ShowMessage(GetDocumentWindow(), ui::kCommandFailed, Icon::kWarning);
    return false;
  }
  return true;
}

void CProjectDocument::CloseWindow(ViewKind kind) {
  if (CDocViewBase* view = FindView(kind))
    if (wxWindow* frame = view->GetFrame()) frame->Close(true);
}

void CProjectDocument::ToggleWindow(ViewKind kind, int32_t CVistametDoc::*flag) {
  int32_t& on = (*core_).*flag;
  on = on ? 0 : 1;
  if (on) {
    if (!OpenWindow(kind)) on = 0;
  } else {
    CloseWindow(kind);
    on = 0;
  }
}

// --- Background work ---

CVistametDoc::PostToOwner CProjectDocument::Poster() {
  // CallAfter is safe from the worker thread; a document that is gone
  // before the call runs takes its queued calls with it, and the core drops
  // a result whose extraction was stopped.
  return [this](std::function<void()> task) { CallAfter(std::move(task)); };
}

void CProjectDocument::StartAutomaticExtraction() {
  if (core_->ExtractAfterOpen(Poster())) UpdateViews(ViewUpdate::kImage);
}

void CProjectDocument::StartExtraction(ExtractionKind kind) {
  const int started = kind == ExtractionKind::kAllPhotos
                          ? core_->ExtractTargetsCommand(Poster())
                          : core_->StartExtraction(kind, Poster());
  if (started) UpdateViews(ViewUpdate::kImage);
}

void CProjectDocument::StopWork() {
  if (!core_->extractionRunning) return;
  core_->StopExtraction();
}

std::string CProjectDocument::ReportFolder() {
  const std::string program_folder =
      Utf8(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
  if (WritableFolder(program_folder)) return program_folder;
  const wxString data = wxStandardPaths::Get().GetUserDataDir();
  if (!wxFileName::DirExists(data)) wxFileName::Mkdir(data, 0755, wxPATH_MKDIR_FULL);
  return Utf8(data);
}

// --- Commands ---

void CProjectDocument::OnDataList(wxCommandEvent&) {
  if (core_->extractionRunning) return;
  ToggleWindow(ViewKind::kDataList, &CVistametDoc::listWindowOn);
}

void CProjectDocument::OnUpdateDataList(wxUpdateUIEvent& event) {
  event.Check(core_->listWindowOn != 0);
  event.Enable(core_->extractionRunning == 0);
}

void CProjectDocument::OnPlanMap(wxCommandEvent&) {
  if (core_->adjusted != 1 || core_->extractionRunning) return;
  if (core_->planeSet == 0) {
    ShowMessage(GetDocumentWindow(), ui::kChoosePlanePointFirst, Icon::kWarning);
    core_->viewMode = kModePlanePoint;
    UpdateViews(ViewUpdate::kImage);
    return;
  }
  ToggleWindow(ViewKind::kPlanMap, &CVistametDoc::mapWindowOn);
}

void CProjectDocument::OnUpdatePlanMap(wxUpdateUIEvent& event) {
  event.Check(core_->mapWindowOn != 0);
  event.Enable(core_->adjusted == 1 && core_->extractionRunning == 0);
}

void CProjectDocument::OnModel3D(wxCommandEvent&) {
  ToggleWindow(ViewKind::kModel3D, &CVistametDoc::modelWindowOn);
}

void CProjectDocument::OnUpdateModel3D(wxUpdateUIEvent& event) {
  event.Check(core_->modelWindowOn != 0);
  event.Enable(true);
}

void CProjectDocument::OnOptions(wxCommandEvent&) {
  COptionsSheet sheet(GetDocumentWindow(), ReadOptions(*core_));
  if (sheet.ShowModal() != wxID_OK) return;
  const OptionsValues values = sheet.Values();
  StoreLmsFeature(values.adjust.bLmsFeature);
  StoreAutoPlaneTrans(values.bAutoPlaneTrans);
  ApplyOptions(values, *core_);
}

void CProjectDocument::OnExtract(wxCommandEvent&) {
  StartExtraction(ExtractionKind::kAllPhotos);
}

void CProjectDocument::OnUpdateExtract(wxUpdateUIEvent& event) {
  const bool running = core_->extractionRunning != 0;
  event.Check(running);
  event.Enable(!running);
  const char* text = running                      ? ui::kItemExtractRunning
                     : core_->targetsExtracted == 1 ? ui::kItemExtractDone
                                                    : ui::kItemExtract;
  event.SetText(U(text));
}

void CProjectDocument::OnAdjust(wxCommandEvent&) {
  if (core_->extractionRunning) return;
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  auto* frame = manager ? dynamic_cast<CMainFrame*>(manager->Frame()) : nullptr;
  CStatusProgress progress(frame);
  if (RunAdjustment(*core_, prompt_, progress, ReportFolder()) != 1) {
    if (frame && core_->lastAdjustment.status == AdjustStatus::kIterationLimit)
      frame->SetStatusText(U(ui::kAdjustmentNotConverged), 0);
    return;
  }
  UpdateViews(ViewUpdate::kAll);
  if (frame) frame->SetStatusText(U(ui::kAdjustmentDone), 0);
}

void CProjectDocument::OnUpdateAdjust(wxUpdateUIEvent& event) {
  event.Enable(core_->extractionRunning == 0);
}

void CProjectDocument::OnSweepAll(wxCommandEvent&) {
  if (core_->targetsExtracted != 1 || core_->extractionRunning) return;
  if (core_->DeleteUnnumberedPoints(SweepScope::kAllPhotos)) UpdateViews(ViewUpdate::kAll);
}

void CProjectDocument::OnUpdateSweepAll(wxUpdateUIEvent& event) {
  event.Enable(core_->targetsExtracted == 1 && core_->extractionRunning == 0);
}

void CProjectDocument::OnShiftOrigin(wxCommandEvent&) {
  if (core_->extractionRunning) return;
  core_->ShiftOrigin();
}

void CProjectDocument::OnDistanceTest(wxCommandEvent&) {
  if (core_->extractionRunning) return;
  // Any file, no default extension; the file need not exist when it is
  // chosen: a missing or unreadable file is reported by the check itself.
  wxFileDialog dialog(GetDocumentWindow(), U(ui::kOpenTitle), wxEmptyString, wxEmptyString,
                      wxFileSelectorDefaultWildcardStr, wxFD_OPEN);
  if (dialog.ShowModal() != wxID_OK) return;
  // The distance report goes to the working folder, as the test's users
  // expect; elsewhere when that cannot be written.
  std::string folder = Utf8(wxGetCwd());
  if (!WritableFolder(folder)) folder = ReportFolder();
  RunDistanceTest(*core_, Utf8(dialog.GetPath()), folder, prompt_);
}

void CProjectDocument::OnUpdateSave(wxUpdateUIEvent& event) {
  // Saving always writes the project (see Save); a new window is always
  // possible.
  event.Enable(true);
}

void CProjectDocument::OnNewWindow(wxCommandEvent&) {
  // Another project window on the same project, whichever window is active.
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  if (wxDocTemplate* tmpl = manager ? manager->Template(TemplateKind::kProject) : nullptr)
    if (!tmpl->CreateView(this, 0)) ShowMessage(GetDocumentWindow(), ui::kCommandFailed, Icon::kWarning);
}

void CProjectDocument::OnUpdateIdle(wxUpdateUIEvent& event) {
  event.Enable(core_->extractionRunning == 0);
}

}  // namespace vistamet
