// The project document in the windows: owns one CVistametDoc and adapts it
// to the framework. The document's notifications become Modify and
// UpdateAllViews (with the refresh code as hint), its questions the real
// dialogs; the project's commands that are not tied to one view are handled
// here.
#pragma once

#include <memory>
#include <string>

#include <wx/docview.h>

#include "measure/model/document_commands.h"
#include "measure/app/doc_view_base.h"
#include "measure/compute/work_progress.h"
#include "measure/app/gui_prompt.h"
#include "measure/records/user_prompt.h"
#include "measure/model/vistamet_doc.h"
#include "measure/shell/recovery.h"

namespace vistamet {

class CProjectHistory;

class CProjectDocument : public wxDocument, public DocNotifier {
 public:
  CProjectDocument();
  ~CProjectDocument() override;

  // The project's records. Replaced as a whole by a successful open, so
  // look it up again rather than keeping it.
  CVistametDoc& Core() { return *core_; }
  const CVistametDoc& Core() const { return *core_; }
  UserPrompt& Prompt() { return prompt_; }

  // DocNotifier
  void SetModified(bool modified) override;
  void UpdateViews(ViewUpdate what) override;

  // --- Framework ---
  wxCommandProcessor* OnCreateCommandProcessor() override;
  // The undo history (the document's command processor).
  CProjectHistory* History() const;
  bool OnNewDocument() override;
  bool OnOpenDocument(const wxString& file) override;
  bool DoOpenDocument(const wxString& file) override;
  bool DoSaveDocument(const wxString& file) override;
  bool Save() override;
  bool SaveAs() override;
  // What Save As does with the name chosen in its dialog: adds the
  // extension when there is none, saves, and takes the new name.
  bool SaveAsPath(const wxString& chosen);
  bool OnSaveModified() override;
  bool OnCloseDocument() override;
  void OnChangedViewList() override;

  // --- The project's windows ---
  CDocViewBase* FindView(ViewKind kind) const;
  // Activates the window of that kind, or creates it; "命令失败。" and false
  // when it cannot be created.
  bool OpenWindow(ViewKind kind);
  void CloseWindow(ViewKind kind);

  // --- Work off the windows' thread ---
  // The extraction command for all photos (asks first when the project
  // already has results) or for the photo just added. Nothing while one
  // runs. The result is swapped in on the windows' thread.
  void StartExtraction(ExtractionKind kind);
  // The bundle adjustment on the worker (Ctrl+Enter): the project stays
  // locked while it runs, the main frame shows its progress with a stop
  // button, and its result is swapped in as one step. Nothing while other
  // work runs. `progress` (made here when null) follows the run.
  void StartAdjustment(std::shared_ptr<WorkProgress> progress = nullptr);
  // Stops the running work and waits for it; its result is dropped.
  void StopWork();
  bool WorkRunning() const { return core_->WorkRunning(); }
  // How the core's worker hands its result to the windows' thread.
  CVistametDoc::PostToOwner Poster();

  // --- Autosave and recovery ---
  // Writes this project's recovery file when it has unsaved changes.
  bool WriteRecovery();
  // Takes the state a recovery file holds as unsaved changes (one step to
  // undo); its file is then this document's recovery. False, nothing
  // changed, when it cannot be read.
  bool TakeRecovery(const RecoveryFile& file);

  // Where the adjustment and the distance test write their reports.
  static std::string ReportFolder();

 private:
  void Wire();
  // After an open: offers the newer state a crashed run left for `path`.
  void OfferRecovery(const std::string& path);
  // The project's path for its recovery: "" while it has never been saved.
  std::string RecoveryPath() const;
  void RemoveRecoveries();
  // After a new project or a load: the extraction when the targets are not
  // extracted yet.
  void StartAutomaticExtraction();
  void ToggleWindow(ViewKind kind, int32_t CVistametDoc::*flag);
  class CMainFrame* MainFrame() const;
  // On the windows' thread once the adjustment's result is in.
  void AdjustmentFinished(int ok);

  void OnDataList(wxCommandEvent& event);
  void OnUpdateDataList(wxUpdateUIEvent& event);
  void OnPlanMap(wxCommandEvent& event);
  void OnUpdatePlanMap(wxUpdateUIEvent& event);
  void OnModel3D(wxCommandEvent& event);
  void OnUpdateModel3D(wxUpdateUIEvent& event);
  void OnOptions(wxCommandEvent& event);
  void OnExtract(wxCommandEvent& event);
  void OnUpdateExtract(wxUpdateUIEvent& event);
  void OnAdjust(wxCommandEvent& event);
  void OnUpdateAdjust(wxUpdateUIEvent& event);
  void OnSweepAll(wxCommandEvent& event);
  void OnUpdateSweepAll(wxUpdateUIEvent& event);
  void OnShiftOrigin(wxCommandEvent& event);
  void OnDistanceTest(wxCommandEvent& event);
  void OnUpdateIdle(wxUpdateUIEvent& event);
  void OnUpdateSave(wxUpdateUIEvent& event);
  void OnNewWindow(wxCommandEvent& event);
  void OnUndoRedo(wxCommandEvent& event);
  void OnUpdateUndoRedo(wxUpdateUIEvent& event);

  std::unique_ptr<CVistametDoc> core_;
  CGuiPrompt prompt_;
  std::shared_ptr<WorkProgress> work_progress_;  // the adjustment's, while it runs
  bool closing_views_ = false;

  wxDECLARE_DYNAMIC_CLASS(CProjectDocument);
  wxDECLARE_EVENT_TABLE();
};

}  // namespace vistamet
