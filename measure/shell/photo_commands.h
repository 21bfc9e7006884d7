// The thumbnail strip's photo commands with their questions and messages,
// apart from any window. Questions and messages go through the document's
// prompt.
#pragma once

#include <string>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

// "删除该片": refuses with a message when fewer than two photos would be
// left, asks before deleting, and refreshes every view after a deletion.
// 1 when the photo was deleted.
int DeletePhotoCommand(CVistametDoc& doc, int photo);

// "新增一张图片": appends the photo at `path`; on failure the message that
// the photo may already be in the project. Refreshes every view after an
// addition. 1 when the photo was added; the caller then starts the
// extraction of the new photo when AddedPhotoWantsExtraction says so.
int AddPhotoCommand(CVistametDoc& doc, const std::string& path);
bool AddedPhotoWantsExtraction(const CVistametDoc& doc);

}  // namespace vistamet
