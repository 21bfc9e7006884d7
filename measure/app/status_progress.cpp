#include "measure/app/status_progress.h"

#include "measure/app/main_frame.h"

namespace vistamet {

CStatusProgress::~CStatusProgress() {
  if (frame_) frame_->HideProgress();
}

void CStatusProgress::Report(int done, int total, std::string_view text) {
  if (!frame_) return;
  if (!text.empty()) frame_->SetStatusText(wxString::FromUTF8(text.data(), text.size()), 0);
  frame_->ShowProgress(done, total);
}

}  // namespace vistamet
