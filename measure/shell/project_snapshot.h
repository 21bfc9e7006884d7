// What undo goes back to: the state of a project's records without its
// photos' pixels, and the name of the step between two states.
#pragma once

#include <map>
#include <string>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

// Photos that left the document through an undo or redo, by path, kept so
// that stepping back brings them in without reading their files again.
using PhotoShelf = std::multimap<std::string, ImageHolder>;

class ProjectSnapshot {
 public:
  ProjectSnapshot() = default;
  // Copies every record the project file stores, and the current photo,
  // but neither the photos' pixels nor the windows' state (which windows
  // are open, the tool and the list's mode).
  explicit ProjectSnapshot(const CVistametDoc& doc);

  // The project file's bytes for this state (windows' state at its
  // defaults): two snapshots are the same state when these are equal.
  const std::string& Bytes() const { return bytes_; }
  bool operator==(const ProjectSnapshot& o) const { return bytes_ == o.bytes_; }

  // Puts this state back into `doc`, keeping its windows' state. A photo
  // the state holds is taken from `doc`, else from `shelf`, else read from
  // its file again; a photo of `doc` the state does not hold goes onto
  // `shelf`. When a photo cannot be read, false with *error set and
  // nothing changed.
  bool RestoreInto(CVistametDoc& doc, PhotoShelf& shelf, std::string* error) const;

  const CVistametDoc& State() const { return state_; }

 private:
  CVistametDoc state_;  // without pixels
  std::string bytes_;
};

// The name of the step from `before` to `after` for the 编辑 menu, from
// what changed (photos first, then computed results, options, the plane
// point, distances, features, image points and space points).
const char* StepName(const ProjectSnapshot& before, const ProjectSnapshot& after);

}  // namespace vistamet
