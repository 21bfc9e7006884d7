#include "common/atomic_file.h"

#include <fcntl.h>
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

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

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
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
}

bool AtomicFileWriter::Create(const std::string& path, std::string* error) {
  Abandon();
  path_ = path;
  target_ = path;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  const std::string base = BaseName(target_);
  if (base.empty()) {
    if (error) *error = "no file name in " + path;
    return false;
  }
  if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (error) *error = "cannot create " + path + ": it is a folder";
    return false;
  }
  const std::string dir = DirName(target_);
  std::string name = (dir.empty() ? std::string() : dir + "/") + "." + base + ".XXXXXX";
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    SetError(error, "cannot create a temporary file beside", path, errno);
    return false;
  }
  tmp_ = name;
  mode_t mode;
  if (::stat(target_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
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

bool AtomicFileWriter::Commit(std::string* error) {
  if (fd_ < 0) {
    if (error) *error = "cannot save " + path_ + ": not open";
    return false;
  }
  int err = 0;
  if (::fsync(fd_) != 0) err = errno;
  if (::close(fd_) != 0 && err == 0) err = errno;
  fd_ = -1;
  if (err != 0) {
    SetError(error, "cannot save", path_, err);
    Abandon();
    return false;
  }
  if (::rename(tmp_.c_str(), target_.c_str()) != 0) {
    SetError(error, "cannot save", path_, errno);
    Abandon();
    return false;
  }
  tmp_.clear();
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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
