#include "measure/shell/photo_commands.h"

#include "measure/records/texts.h"

namespace vistamet {

int DeletePhotoCommand(CVistametDoc& doc, int photo) {
  if (!doc.ValidPhoto(photo) || doc.WorkRunning()) return 0;
  UserPrompt* prompt = doc.Prompt();
  if (doc.PhotoCount() < 2) {
    if (prompt) prompt->Message(text::kKeepOnePhoto, Icon::kWarning);
    return 0;
  }
  if (!prompt || !prompt->AskYesNo(text::kDeletePhotoQuestion, text::kDeleteCaption, Icon::kError))
    return 0;
  if (!doc.DeletePhoto(photo)) return 0;
  doc.UpdateViews(ViewUpdate::kAll);
  return 1;
}

int AddPhotoCommand(CVistametDoc& doc, const std::string& path) {
  if (!doc.AddPhoto(path)) {
    if (UserPrompt* prompt = doc.Prompt()) prompt->Message(text::kAddPhotoFailed, Icon::kWarning);
    return 0;
  }
  doc.UpdateViews(ViewUpdate::kAll);
  return 1;
}

bool AddedPhotoWantsExtraction(const CVistametDoc& doc) {
  return !doc.WorkRunning() && doc.autoExtract == 1;
}

}  // namespace vistamet
