#include "measure/app/project_document.h"

#include <unistd.h>

#include <algorithm>

#include <wx/docmdi.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "common/atomic_file.h"
#include "common/gui/save_modified.h"
#include "common/strformat.h"
#include "measure/shell/app_texts.h"
#include "measure/app/command_ids.h"
#include "measure/app/doc_manager.h"
#include "measure/app/main_frame.h"
#include "measure/app/autosave.h"
#include "measure/app/options_sheet.h"
#include "measure/app/project_history.h"
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
  EVT_MENU(wxID_UNDO, CProjectDocument::OnUndoRedo)
  EVT_MENU(wxID_REDO, CProjectDocument::OnUndoRedo)
  EVT_UPDATE_UI(wxID_UNDO, CProjectDocument::OnUpdateUndoRedo)
  EVT_UPDATE_UI(wxID_REDO, CProjectDocument::OnUpdateUndoRedo)
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

void CProjectDocument::SetModified(bool modified) {
  Modify(modified);
  if (modified)
    if (CProjectHistory* history = History()) history->Changed();
}

void CProjectDocument::UpdateViews(ViewUpdate what) {
  CUpdateHint hint(what);
  UpdateAllViews(nullptr, &hint);
}

// --- Framework ---

wxCommandProcessor* CProjectDocument::OnCreateCommandProcessor() {
  return new CProjectHistory(*this);
}

CProjectHistory* CProjectDocument::History() const {
  return dynamic_cast<CProjectHistory*>(GetCommandProcessor());
}

bool CProjectDocument::OnNewDocument() {
  if (!wxDocument::OnNewDocument()) return false;
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  const NewProjectCamera camera = manager ? manager->PendingCamera() : NewProjectCamera();
  const std::vector<std::string> photos =
      manager ? manager->TakePendingPhotos() : std::vector<std::string>();
  if (!photos.empty()) {
    auto fresh = std::make_unique<CVistametDoc>(LoadUserSettings());
    std::string error;
    if (!fresh->InitNewProject(photos, &error, camera)) {
      ShowMessage(GetDocumentWindow(), error, Icon::kWarning);
      return false;
    }
    StopWork();
    core_ = std::move(fresh);
    Wire();
  }
  if (CProjectHistory* history = History()) history->Reset();
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
  if (!result.notes.empty()) {
    std::string notes;
    for (const std::string& note : result.notes) notes += note + "\n";
    ShowMessage(GetDocumentWindow(), notes, Icon::kWarning);
  }
  StopWork();
  core_ = std::move(fresh);
  Wire();
  if (CProjectHistory* history = History()) history->Reset();
  return true;
}

bool CProjectDocument::OnOpenDocument(const wxString& file) {
  if (!wxDocument::OnOpenDocument(file)) return false;
  OfferRecovery(Utf8(file));
  // Every window shows the loaded project (a reverted one included).
  UpdateViews(ViewUpdate::kAll);
  StartAutomaticExtraction();
  if (core_->listWindowOn == 1 && !OpenWindow(ViewKind::kDataList)) core_->listWindowOn = 0;
  return true;
}

bool CProjectDocument::DoSaveDocument(const wxString& file) {
  // The last command's step is taken before its state is written.
  CProjectHistory* history = History();
  if (history) history->Settle();
  std::string message;
  if (!SaveProjectFile(*core_, Utf8(file), &message)) {
    ShowMessage(GetDocumentWindow(), message, Icon::kError);
    return false;
  }
  if (history) history->Saved();
  RemoveRecoveries();  // saved: nothing left to recover
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
  // A normal close, saved or not, leaves nothing to recover.
  RemoveRecoveries();
  return wxDocument::OnCloseDocument();
}

// --- Autosave and recovery ---

std::string CProjectDocument::RecoveryPath() const {
  return GetDocumentSaved() ? Utf8(GetFilename()) : std::string();
}

void CProjectDocument::RemoveRecoveries() {
  const std::string folder = RecoveryFolderOfUser();
  RemoveRecovery(folder, RecoveryStemOf(*this, ""));
  if (GetDocumentSaved()) RemoveRecovery(folder, RecoveryStemOf(*this, Utf8(GetFilename())));
}

bool CProjectDocument::WriteRecovery() {
  if (!IsModified()) return false;
  const std::string path = RecoveryPath();
  return vistamet::WriteRecovery(RecoveryFolderOfUser(), RecoveryStemOf(*this, path), path,
                                 static_cast<long>(::getpid()), WriteProjectBytes(*core_),
                                 nullptr);
}

bool CProjectDocument::TakeRecovery(const RecoveryFile& file) {
  std::string bytes;
  if (!common::ReadWholeFile(file.data, &bytes)) return false;
  auto fresh = std::make_unique<CVistametDoc>(LoadUserSettings());
  const LoadResult result =
      ReadProjectBytes(bytes, file.project.empty() ? file.data : file.project, fresh.get());
  if (!result.ok()) {
    ShowMessage(GetDocumentWindow(), result.message, Icon::kWarning);
    return false;
  }
  StopWork();
  core_ = std::move(fresh);
  Wire();
  SetModified(true);
  // The recovered work stays recoverable, now under this run.
  WriteRecovery();
  if (RecoveryStemOf(*this, RecoveryPath()) != file.stem)
    RemoveRecovery(RecoveryFolderOfUser(), file.stem);
  UpdateViews(ViewUpdate::kAll);
  return true;
}

void CProjectDocument::OfferRecovery(const std::string& path) {
  const std::string folder = RecoveryFolderOfUser();
  RecoveryFile file;
  if (!FindRecoveryFor(folder, path, &file)) return;
  const std::string question =
      common::StrFormat(ui::kRecoverQuestion, common::BaseName(path).c_str());
  if (!AskYesNo(GetDocumentWindow(), question, ui::kAppName) || !TakeRecovery(file))
    RemoveRecovery(folder, file.stem);
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
  if (work_progress_) {
    if (CMainFrame* frame = MainFrame()) frame->EndWork(work_progress_.get());
    work_progress_.reset();
  }
  if (!core_->WorkRunning()) return;
  core_->StopWork();
}

CMainFrame* CProjectDocument::MainFrame() const {
  auto* manager = dynamic_cast<CDocManager*>(GetDocumentManager());
  return manager ? dynamic_cast<CMainFrame*>(manager->Frame()) : nullptr;
}

void CProjectDocument::StartAdjustment(std::shared_ptr<WorkProgress> progress) {
  if (core_->WorkRunning()) return;
  if (!progress) progress = std::make_shared<WorkProgress>();
  if (!core_->StartAdjustment(AdjustmentReports(ReportFolder()), Poster(), progress,
                              [this](int ok) { AdjustmentFinished(ok); }))
    return;
  work_progress_ = progress;
  if (CMainFrame* frame = MainFrame()) {
    frame->TrackWork(progress);
    frame->SetStatusText(U(ui::kPromptAdjust).BeforeFirst('\n'), 0);
  }
}

void CProjectDocument::AdjustmentFinished(int ok) {
  CMainFrame* frame = MainFrame();
  if (frame && work_progress_) frame->EndWork(work_progress_.get());
  work_progress_.reset();
  if (!frame) return;
  const AdjustStatus status = core_->lastAdjustment.status;
  const char* line = ok == 1                                ? ui::kAdjustmentDone
                     : status == AdjustStatus::kIterationLimit ? ui::kAdjustmentNotConverged
                     : status == AdjustStatus::kCancelled      ? ui::kAdjustmentStopped
                                                               : ui::kReady;
  frame->SetStatusText(U(line), 0);
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

// The data list and the plan map may be looked at while the adjustment
// runs; what they would change is refused there while work runs.
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
  if (core_->WorkRunning()) return;
  OptionsValues start = ReadOptions(*core_);
  start.autosaveMinutes = LoadAutosaveMinutes();
  COptionsSheet sheet(GetDocumentWindow(), start);
  if (sheet.ShowModal() != wxID_OK) return;
  const OptionsValues values = sheet.Values();
  StoreAutosaveMinutes(values.autosaveMinutes);
  if (CAutosave* autosave = TheAutosave()) autosave->SetMinutes(values.autosaveMinutes);
  StoreLmsFeature(values.adjust.bLmsFeature);
  StoreAutoPlaneTrans(values.bAutoPlaneTrans);
  StorePhotoCacheMb(std::clamp(values.photoCacheMb, kMinPhotoCacheMb, kMaxPhotoCacheMb));
  StoreTargetOptions(values.targets);
  ApplyOptions(values, *core_);
}

void CProjectDocument::OnExtract(wxCommandEvent&) {
  StartExtraction(ExtractionKind::kAllPhotos);
}

void CProjectDocument::OnUpdateExtract(wxUpdateUIEvent& event) {
  const bool running = core_->extractionRunning != 0;
  event.Check(running);
  event.Enable(!core_->WorkRunning());
  const char* text = running                      ? ui::kItemExtractRunning
                     : core_->targetsExtracted == 1 ? ui::kItemExtractDone
                                                    : ui::kItemExtract;
  event.SetText(U(text));
}

void CProjectDocument::OnAdjust(wxCommandEvent&) { StartAdjustment(); }

void CProjectDocument::OnUpdateAdjust(wxUpdateUIEvent& event) {
  event.Enable(!core_->WorkRunning());
}

void CProjectDocument::OnSweepAll(wxCommandEvent&) {
  if (core_->targetsExtracted != 1 || core_->WorkRunning()) return;
  if (core_->DeleteUnnumberedPoints(SweepScope::kAllPhotos)) UpdateViews(ViewUpdate::kAll);
}

void CProjectDocument::OnUpdateSweepAll(wxUpdateUIEvent& event) {
  event.Enable(core_->targetsExtracted == 1 && !core_->WorkRunning());
}

void CProjectDocument::OnShiftOrigin(wxCommandEvent&) {
  if (core_->WorkRunning()) return;
  core_->ShiftOrigin();
}

void CProjectDocument::OnDistanceTest(wxCommandEvent&) {
  if (core_->WorkRunning()) return;
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

void CProjectDocument::OnUndoRedo(wxCommandEvent& event) {
  CProjectHistory* history = History();
  if (!history || core_->WorkRunning()) return;
  if (event.GetId() == wxID_UNDO) history->Undo();
  else history->Redo();
}

void CProjectDocument::OnUpdateUndoRedo(wxUpdateUIEvent& event) {
  CProjectHistory* history = History();
  const bool undo = event.GetId() == wxID_UNDO;
  event.Enable(history && !core_->WorkRunning() &&
               (undo ? history->CanUndo() : history->CanRedo()));
  if (history) event.SetText(undo ? history->UndoLabel() : history->RedoLabel());
}

void CProjectDocument::OnUpdateIdle(wxUpdateUIEvent& event) {
  event.Enable(!core_->WorkRunning());
}

}  // namespace vistamet
