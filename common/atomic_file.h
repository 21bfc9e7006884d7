// Whole-file reading and atomic whole-file saving.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Writes `bytes` to `path` through a temporary file in the same folder that is
// flushed to disk and then renamed over the target. On failure the target is
// left exactly as it was, the temporary file is removed, *error (if given)
// says what went wrong and false is returned. An existing target keeps its
// permission bits.
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
