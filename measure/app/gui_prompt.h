// Message boxes of the measurement program (its name as caption, Chinese
// buttons) and the windows' answer to the document's questions.
#pragma once

#include <functional>
#include <string_view>

#include <wx/string.h>

#include "measure/records/user_prompt.h"

class wxWindow;

namespace vistamet {

// A message box with an OK button; the caption is the program's name.
void ShowMessage(wxWindow* parent, std::string_view text, Icon icon = Icon::kWarning);
// A Yes/No box; true for Yes.
bool AskYesNo(wxWindow* parent, std::string_view text, std::string_view caption,
              Icon icon = Icon::kQuestion);
// A Yes/No/Cancel box; wxYES, wxNO or wxCANCEL.
int AskYesNoCancel(wxWindow* parent, const wxString& text);

// The document's UserPrompt in the windows: message boxes and the space
// point and offset dialogs, over the window that `parent` names at the time
// of the question.
class CGuiPrompt : public UserPrompt {
 public:
  explicit CGuiPrompt(std::function<wxWindow*()> parent) : parent_(std::move(parent)) {}

  void Message(std::string_view text, Icon icon) override;
  bool AskYesNo(std::string_view text, std::string_view caption, Icon icon) override;
  bool EditSpacePoint(SpacePoint& record) override;
  bool AskOffset(double& x, double& y, double& z) override;

 private:
  wxWindow* Parent() const { return parent_ ? parent_() : nullptr; }
  std::function<wxWindow*()> parent_;
};

}  // namespace vistamet
