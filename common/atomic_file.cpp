#include "common/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace common {

namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " " + path + ": " + std::strerror(err);
}

FileWriterFaults g_faults;

ssize_t WriteSome(int fd, const void* data, size_t size) {
  return g_faults.write ? g_faults.write(fd, data, size) : ::write(fd, data, size);
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = WriteSome(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}


// The name of a symbolic link's final target, relative links resolved
// against the link's folder; the path itself when it is no link. A link that
// points nowhere yields the missing file's name, so the save creates it.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string link(4096, '\0');
    const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) return current;
    link.resize(static_cast<size_t>(n));
    if (link[0] != '/') {
      const size_t slash = current.find_last_of('/');
      if (slash != std::string::npos) link = current.substr(0, slash + 1) + link;
    }
    current = link;
  }
  return current;
}

std::string TemporaryPrefix(const std::string& base) { return "." + base + ".saving-"; }

// Removes temporary files of `base` in `dir` that no writer holds any more:
// left by a run that was killed or lost its power.
void RemoveLeftovers(const std::string& dir, const std::string& base) {
  const std::string prefix = TemporaryPrefix(base);
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return;
  const uid_t me = ::geteuid();
  while (const struct dirent* e = ::readdir(d)) {
    const std::string_view name(e->d_name);
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) continue;
    const int fd = ::openat(::dirfd(d), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == me &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(d);
}

// A temporary file without a name, so nothing is left behind whatever
// happens: beside the target when its folder allows, else in the system's
// folder for temporary files.
int OpenAnonymousTemporary(const std::string& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string system_dir = tmpdir && *tmpdir ? tmpdir : "/tmp";
  const int fd2 = ::open(system_dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd2 >= 0) return fd2;
  std::string name = system_dir + "/.vistamet-save-XXXXXX";
  const int fd3 = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd3 >= 0) ::unlink(name.c_str());
  return fd3;
}

}  // namespace

void SetFileWriterFaultsForTesting(const FileWriterFaults& faults) { g_faults = faults; }

std::string BaseName(std::string_view path) {
  const size_t pos = path.find_last_of("/\\");
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string DirName(std::string_view path) {
  const size_t pos = path.find_last_of('/');
  if (pos == std::string_view::npos) return std::string();
  if (pos == 0) return "/";
  return std::string(path.substr(0, pos));
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (target_fd_ >= 0) ::close(target_fd_);
  target_fd_ = -1;
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
}

bool AtomicFileWriter::Create(const std::string& path, std::string* error) {
  Abandon();
  path_ = path;
  target_ = FollowLinks(path);
  way_ = Way::kReplace;
  if (BaseName(target_).empty()) {
    if (error) *error = "no file name in " + path;
    return false;
  }
  struct stat st;
  if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    SetError(error, "cannot follow", path, ELOOP);  // a loop of links
    return false;
  }
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    if (error) *error = "cannot create " + path + ": it is a folder";
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device, FIFO or socket: written in place, never replaced. Opening a
    // FIFO waits for its reader, as a shell redirection does.
    way_ = Way::kInPlace;
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
      SetError(error, "cannot open", path, errno);
      return false;
    }
    return true;
  }
  if (exists && (::access(target_.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) {
    if (error) *error = "cannot write " + path + ": the file is write-protected";
    return false;
  }
  const std::string dir = DirName(target_);
  if (exists && st.st_nlink > 1) way_ = Way::kCopyBack;
  if (way_ == Way::kReplace) {
    RemoveLeftovers(dir, BaseName(target_));
    std::string temp_error;
    if (!OpenTemporaryBeside(dir, &temp_error)) {
      const int err = errno;
      if (!exists || (err != EACCES && err != EPERM && err != EROFS)) {
        if (error) *error = temp_error;
        return false;
      }
      way_ = Way::kCopyBack;  // a writable file in a folder we cannot write
    }
  }
  if (way_ == Way::kCopyBack) {
    target_fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (target_fd_ < 0) {
      SetError(error, "cannot open", path, errno);
      return false;
    }
    fd_ = OpenAnonymousTemporary(dir);
    if (fd_ < 0) {
      SetError(error, "cannot create a temporary file for", path, errno);
      Abandon();
      return false;
    }
    return true;
  }
  return SetMode(exists ? &st : nullptr, error);
}

bool AtomicFileWriter::OpenTemporaryBeside(const std::string& dir, std::string* error) {
  std::string name = (dir.empty() ? std::string() : dir + "/") + TemporaryPrefix(BaseName(target_)) +
                     "XXXXXX";
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    SetError(error, "cannot create a temporary file beside", path_, err);
    errno = err;  // the caller decides by it
    return false;
  }
  tmp_ = name;
  // The lock tells a later save that this file is still being written.
  ::flock(fd_, LOCK_EX | LOCK_NB);
  return true;
}

bool AtomicFileWriter::SetMode(const struct stat* old, std::string* error) {
  mode_t mode;
  if (old) {
    mode = old->st_mode & 07777;
    struct stat mine;
    if (::fstat(fd_, &mine) == 0 && (mine.st_uid != old->st_uid || mine.st_gid != old->st_gid)) {
      // Only the superuser may give the file away; others keep their own.
      if (::fchown(fd_, old->st_uid, old->st_gid) != 0 && mine.st_gid != old->st_gid) {
        (void)::fchown(fd_, static_cast<uid_t>(-1), old->st_gid);
      }
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const auto chmod_fn = g_faults.fchmod ? g_faults.fchmod : ::fchmod;
  if (chmod_fn(fd_, mode) != 0) {
    SetError(error, "cannot set the permissions of", path_, errno);
    Abandon();
    return false;
  }
  return true;
}

bool AtomicFileWriter::Write(std::string_view bytes, std::string* error) {
  if (fd_ < 0) {
    if (error) *error = "cannot write " + path_ + ": not open";
    return false;
  }
  if (!WriteAll(fd_, bytes)) {
    SetError(error, "cannot write", path_, errno);
    Abandon();
    return false;
  }
  return true;
}

// Copies the complete temporary file over the target's contents.
bool AtomicFileWriter::CopyBack(std::string* error) {
  off_t size = 0;
  std::vector<char> buffer(1 << 16);
  if (::lseek(fd_, 0, SEEK_SET) != 0) {
    SetError(error, "cannot read back the temporary file of", path_, errno);
    return false;
  }
  while (true) {
    const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetError(error, "cannot read back the temporary file of", path_, errno);
      return false;
    }
    if (n == 0) break;
    if (!WriteAll(target_fd_, std::string_view(buffer.data(), static_cast<size_t>(n)))) {
      SetError(error, "cannot write", path_, errno);
      return false;
    }
    size += n;
  }
  if (::ftruncate(target_fd_, size) != 0 || ::fsync(target_fd_) != 0) {
    SetError(error, "cannot save", path_, errno);
    return false;
  }
  return true;
}

bool AtomicFileWriter::Commit(std::string* error) {
  if (fd_ < 0) {
    if (error) *error = "cannot save " + path_ + ": not open";
    return false;
  }
  if (way_ == Way::kInPlace) {
    // Special files: fsync means nothing to a FIFO or a terminal.
    const int fd = fd_;
    fd_ = -1;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
      SetError(error, "cannot save", path_, errno);
      ::close(fd);
      return false;
    }
    if (::close(fd) != 0 && errno != EINTR) {
      SetError(error, "cannot save", path_, errno);
      return false;
    }
    return true;
  }
  if (way_ == Way::kCopyBack) {
    const bool ok = CopyBack(error);
    Abandon();
    return ok;
  }
  if (::fsync(fd_) != 0) {
    SetError(error, "cannot save", path_, errno);
    Abandon();
    return false;
  }
  if (::rename(tmp_.c_str(), target_.c_str()) != 0) {
    SetError(error, "cannot save", path_, errno);
    Abandon();
    return false;
  }
  tmp_.clear();
  ::close(fd_);
  fd_ = -1;
  // Make the rename itself durable.
  const std::string dir = DirName(target_);
  const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool SaveFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  AtomicFileWriter out;
  return out.Create(path, error) && out.Write(bytes, error) && out.Commit(error);
}

bool ReadWholeFile(const std::string& path, std::string* out, std::string* error) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    SetError(error, "cannot open", path, errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (error) *error = "not a regular file: " + path;
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string data;
  data.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (true) {
    if (got == data.size()) data.resize(data.size() + 65536);
    const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, "cannot read", path, errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  data.resize(got);
  *out = std::move(data);
  return true;
}

}  // namespace common
