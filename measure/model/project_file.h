// The project file (*.vmt): text lines and little-endian binary values in one
// fixed order. Writes the current version "1.231"; reads "1.0" to "1.231".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

enum class LoadStatus {
  kOk,
  kCannotOpen,     // the file cannot be opened or read
  kNotOurFormat,   // one of the two format lines is wrong
  kNotVistamet,    // a current-version file without our signature
  kPhotoMissing,   // a photo file is missing or cannot be decoded
  kUnreadable,     // the file ends inside an item or claims more than it holds
};

struct LoadResult {
  LoadStatus status = LoadStatus::kOk;
  std::string message;  // the text to show the user (UTF-8); empty on success
  std::string version;  // the version line read
  // Values the reader changed to make the project usable (an option outside
  // the range the options sheet allows), one message each, to show the user
  // after a successful load.
  std::vector<std::string> notes;
  bool ok() const { return status == LoadStatus::kOk; }
};

// The bytes of the project file for `doc`.
std::string WriteProjectBytes(const CVistametDoc& doc);

// Saves atomically: a failed save leaves the old file as it was. On failure
// *message holds the text to show.
int SaveProjectFile(const CVistametDoc& doc, const std::string& path,
                    std::string* message = nullptr);

// Reads a project from `bytes` into `doc`, which must be freshly constructed.
// `project_path` is the file's own path: a photo path that does not exist is
// looked up once more as the same file name in the project's folder. On any
// failure `doc` may hold partial data and must be discarded by the caller.
LoadResult ReadProjectBytes(std::string_view bytes, const std::string& project_path,
                            CVistametDoc* doc);

// Opens `path` into `doc` (freshly constructed). The document is complete
// only when the result is ok.
LoadResult LoadProjectFile(const std::string& path, CVistametDoc* doc);

}  // namespace vistamet
