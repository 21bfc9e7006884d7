// Whole-file reading and the one file writer of both programs.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Writes a file beside its target and renames it over the target when it is
// complete, so that a reader sees either the old file or the whole new one,
// never a part. A symbolic link is written through to the file it names; an
// existing target keeps its permission bits (a new one gets 0666 less the
// umask); the data and then the rename are made durable (fsync of the file
// and of its folder). Dropping a writer that was not committed removes the
// temporary file and leaves the target untouched.
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
  void Abandon();

  int fd_ = -1;
  std::string tmp_;
  std::string target_;  // the file written: the link's target for a link
  std::string path_;    // as the caller named it, for messages
};

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
