#include "measure/shell/recovery.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "common/atomic_file.h"
#include "common/strformat.h"

namespace vistamet {

namespace {

constexpr char kDataSuffix[] = ".vmt";
constexpr char kOwnerSuffix[] = ".owner";

bool MakeFolders(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ModifiedTime(const std::string& path, struct timespec* when) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  *when = st.st_mtim;
  return true;
}

bool Newer(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// The owner file: the process id on the first line, the project's path on
// the second.
bool ReadOwner(const std::string& folder, const std::string& stem, RecoveryFile* out) {
  std::string text;
  if (!common::ReadWholeFile(folder + "/" + stem + kOwnerSuffix, &text)) return false;
  const size_t nl = text.find('\n');
  if (nl == std::string::npos) return false;
  char* end = nullptr;
  const long pid = std::strtol(text.c_str(), &end, 10);
  if (end != text.c_str() + nl || pid <= 0) return false;
  std::string project = text.substr(nl + 1);
  if (!project.empty() && project.back() == '\n') project.pop_back();
  out->stem = stem;
  out->data = folder + "/" + stem + kDataSuffix;
  out->owner = folder + "/" + stem + kOwnerSuffix;
  out->project = project;
  out->pid = pid;
  return common::FileExists(out->data);
}

}  // namespace

std::string RecoveryFolder(const std::string& data_home, const std::string& home) {
  const std::string base =
      !data_home.empty() && data_home[0] == '/' ? data_home : home + "/.local/share";
  return base + "/Vistamet/recovery";
}

std::string RecoveryStem(const std::string& project_path, long pid, int serial) {
  if (project_path.empty()) return common::StrFormat("untitled-%ld-%d", pid, serial);
  // FNV-1a of the path: one name per project, whatever its length.
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : project_path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return common::StrFormat("project-%016llx", static_cast<unsigned long long>(hash));
}

bool WriteRecovery(const std::string& folder, const std::string& stem,
                   const std::string& project_path, long pid, std::string_view bytes,
                   std::string* error) {
  if (!MakeFolders(folder)) {
    if (error) *error = folder + ": the folder cannot be made";
    return false;
  }
  const std::string data = folder + "/" + stem + kDataSuffix;
  if (!project_path.empty() && common::SameFile(data, project_path)) {
    if (error) *error = data + ": is the project itself";
    return false;
  }
  const std::string owner = common::StrFormat("%ld\n", pid) + project_path + "\n";
  // The data first: an owner file always has its data beside it.
  return common::SaveFileAtomically(data, bytes, error) &&
         common::SaveFileAtomically(folder + "/" + stem + kOwnerSuffix, owner, error);
}

void RemoveRecovery(const std::string& folder, const std::string& stem) {
  ::unlink((folder + "/" + stem + kOwnerSuffix).c_str());
  ::unlink((folder + "/" + stem + kDataSuffix).c_str());
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::vector<RecoveryFile> OrphanedRecoveries(const std::string& folder) {
  std::vector<std::string> stems;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      const size_t n = sizeof(kOwnerSuffix) - 1;
      if (name.size() > n && name.compare(name.size() - n, n, kOwnerSuffix) == 0)
        stems.push_back(name.substr(0, name.size() - n));
    }
    ::closedir(dir);
  }
  std::sort(stems.begin(), stems.end());
  std::vector<RecoveryFile> out;
  for (const std::string& stem : stems) {
    RecoveryFile file;
    if (!ReadOwner(folder, stem, &file) || ProcessAlive(file.pid)) continue;
    struct timespec saved {}, recovered {};
    if (!file.project.empty() && ModifiedTime(file.project, &saved) &&
        ModifiedTime(file.data, &recovered) && !Newer(recovered, saved)) {
      RemoveRecovery(folder, stem);
      continue;
    }
    out.push_back(file);
  }
  return out;
}

bool FindRecoveryFor(const std::string& folder, const std::string& project_path,
                     RecoveryFile* out) {
  for (RecoveryFile& file : OrphanedRecoveries(folder)) {
    if (file.project == project_path) {
      *out = std::move(file);
      return true;
    }
  }
  return false;
}

}  // namespace vistamet
