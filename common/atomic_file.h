// Whole-file reading and the one file writer of both programs.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

namespace common {

// The one file writer of both programs. How it writes depends on what the
// target is:
// - a regular file (or a new one) is written beside the target and renamed
//   over it when complete, so a reader sees either the old file or the whole
//   new one, never a part; the data, then the rename, are made durable (fsync
//   of the file and of its folder); permission bits are kept (a new file gets
//   0666 less the umask) and a failure to set them is an error;
// - a symbolic link is followed to the file it names, which is written as
//   above; the link stays a link;
// - a file with several hard links, or one in a folder where nothing can be
//   created, is written in place, but only after the new contents are
//   complete in a temporary file, so a failure while writing them leaves the
//   target untouched;
// - devices, FIFOs and other special files are opened and written in place,
//   never replaced;
// - a write-protected file (no write permission, or no write bit at all) and
//   a folder are refused at Create.
// Dropping a writer that was not committed removes its temporary file and
// leaves the target untouched. Temporary files left by a run that was killed
// are removed by the next save of the same target.
//
//   AtomicFileWriter out;
//   if (!out.Create(path, &error) || !out.Write(a, &error) || !out.Write(b, &error) ||
//       !out.Commit(&error)) ...  // error names the file and the cause
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool Create(const std::string& path, std::string* error);
  bool Write(std::string_view bytes, std::string* error);
  bool Commit(std::string* error);

 private:
  enum class Way { kReplace, kCopyBack, kInPlace };
  bool OpenTemporaryBeside(const std::string& folder, std::string* error);
  bool SetMode(const struct stat* old, std::string* error);
  bool CopyBack(std::string* error);
  void Abandon();

  Way way_ = Way::kReplace;
  int fd_ = -1;         // where Write goes: the temporary file or a special file
  int target_fd_ = -1;  // the target, opened for writing in place (kCopyBack)
  std::string tmp_;     // the named temporary file (kReplace)
  std::string target_;  // the file written: the link's target for a link
  std::string path_;    // as the caller named it, for messages
};

// The system calls the writer makes that tests replace to inject faults
// (a full disk, a failed fchmod). Null members mean the real calls.
struct FileWriterFaults {
  ssize_t (*write)(int fd, const void* data, size_t size) = nullptr;
  int (*fchmod)(int fd, mode_t mode) = nullptr;
};
void SetFileWriterFaultsForTesting(const FileWriterFaults& faults);

// Writes `bytes` to `path` with an AtomicFileWriter. On failure the target
// is left exactly as it was, *error (if given) says what went wrong and
// false is returned.
bool SaveFileAtomically(const std::string& path, std::string_view bytes,
                        std::string* error = nullptr);

// Reads the whole file into *out. False with *error set when the file cannot
// be opened or read.
bool ReadWholeFile(const std::string& path, std::string* out,
                   std::string* error = nullptr);

// The last path component after '/' or '\' (stored paths may come from
// Windows), and the folder part of a path ("" when there is none).
std::string BaseName(std::string_view path);
std::string DirName(std::string_view path);

// True when both paths name the same existing file (hard links, symbolic
// links and different spellings included).
bool SameFile(const std::string& a, const std::string& b);

bool FileExists(const std::string& path);

}  // namespace common
