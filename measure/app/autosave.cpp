#include "measure/app/autosave.h"

#include <unistd.h>

#include <cstdint>

#include <wx/docview.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include "common/atomic_file.h"
#include "measure/app/doc_manager.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/project_document.h"
#include "measure/shell/app_texts.h"
#include "measure/shell/recovery.h"

namespace vistamet {

namespace {

CAutosave* g_autosave = nullptr;

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }

}  // namespace

std::string RecoveryFolderOfUser() {
  wxString data_home;
  wxGetEnv("XDG_DATA_HOME", &data_home);
  return RecoveryFolder(Utf8(data_home), Utf8(wxFileName::GetHomeDir()));
}

std::string RecoveryStemOf(const CProjectDocument& doc, const std::string& path) {
  // The document's address tells the unsaved projects of one run apart.
  const auto serial = static_cast<int>(reinterpret_cast<uintptr_t>(&doc) & 0x7fffffff);
  return RecoveryStem(path, static_cast<long>(::getpid()), serial);
}

CAutosave* TheAutosave() { return g_autosave; }

CAutosave::CAutosave(wxDocManager* manager) : manager_(manager), timer_(this) {
  Bind(wxEVT_TIMER, &CAutosave::OnTimer, this);
  g_autosave = this;
}

CAutosave::~CAutosave() {
  timer_.Stop();
  if (g_autosave == this) g_autosave = nullptr;
}

void CAutosave::SetMinutes(int minutes) {
  minutes_ = minutes < 0 ? 0 : minutes;
  timer_.Stop();
  if (minutes_ > 0) timer_.Start(minutes_ * 60 * 1000);
}

void CAutosave::OnTimer(wxTimerEvent&) { SaveChanged(); }

int CAutosave::SaveChanged() {
  if (!manager_) return 0;
  int written = 0;
  for (wxDocument* d : manager_->GetDocumentsVector())
    if (auto* doc = dynamic_cast<CProjectDocument*>(d)) written += doc->WriteRecovery() ? 1 : 0;
  return written;
}

void CAutosave::OfferOrphans() {
  if (!manager_) return;
  const std::string folder = RecoveryFolderOfUser();
  for (const RecoveryFile& file : OrphanedRecoveries(folder)) {
    // Opening a saved project offers its recovery.
    if (!file.project.empty() && common::FileExists(file.project)) {
      manager_->CreateDocument(wxString::FromUTF8(file.project), wxDOC_SILENT);
      continue;
    }
    // A project never saved, or whose file is gone, comes back as a new one.
    if (AskYesNo(nullptr, ui::kRecoverUntitledQuestion, ui::kAppName)) {
      auto* manager = dynamic_cast<CDocManager*>(manager_);
      wxDocTemplate* tmpl = manager ? manager->Template(TemplateKind::kProject) : nullptr;
      auto* doc = tmpl ? dynamic_cast<CProjectDocument*>(
                             tmpl->CreateDocument(wxEmptyString, wxDOC_NEW))
                       : nullptr;
      if (doc && doc->OnNewDocument() && doc->TakeRecovery(file)) continue;
    }
    RemoveRecovery(folder, file.stem);
  }
}

}  // namespace vistamet
