// Autosave's recovery files: a changed project is written now and then into
// the user's data folder (never over the project itself), with an owner
// file naming the process and the project. What a crashed or killed process
// left behind is offered when the project is opened again or the program
// starts; a normal close removes it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistamet {

// The autosave interval of a fresh account, and the largest one taken.
inline constexpr int kAutosaveMinutesDefault = 5;
inline constexpr int kAutosaveMinutesMax = 1440;

struct RecoveryFile {
  std::string stem;     // the files' common name in the folder
  std::string data;     // the project's bytes: <stem>.vmt
  std::string owner;    // <stem>.owner: the writer's process id, the project
  std::string project;  // the project's own path, "" for one never saved
  long pid = 0;         // the process that wrote it
};

// $XDG_DATA_HOME/Vistamet/recovery, with `home`/.local/share when
// `data_home` is empty or not absolute.
std::string RecoveryFolder(const std::string& data_home, const std::string& home);

// The files' name for a project: from its path, so that the project finds
// its recovery after a crash; for a project never saved, from the process
// and a number of its own.
std::string RecoveryStem(const std::string& project_path, long pid, int serial);

// Writes the recovery of one project (the folder is made when missing).
// Refused when the recovery file would be the project file itself.
bool WriteRecovery(const std::string& folder, const std::string& stem,
                   const std::string& project_path, long pid, std::string_view bytes,
                   std::string* error);

void RemoveRecovery(const std::string& folder, const std::string& stem);

// Whether a process of that id runs.
bool ProcessAlive(long pid);

// The recoveries whose writer is gone, oldest stem first. A recovery of a
// project that has been saved since (the project file newer) is stale and
// removed.
std::vector<RecoveryFile> OrphanedRecoveries(const std::string& folder);

// The orphaned recovery of `project_path`; false when there is none.
bool FindRecoveryFor(const std::string& folder, const std::string& project_path,
                     RecoveryFile* out);

}  // namespace vistamet
