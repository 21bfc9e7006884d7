// The few places where a document operation asks the user something go
// through this interface. The GUI shows real dialogs; tests and the
// command-line program answer from a script.
#pragma once

#include <string_view>

#include "measure/records/records.h"

namespace vistamet {

enum class Icon { kNone, kInformation, kWarning, kError, kQuestion };

class UserPrompt {
 public:
  virtual ~UserPrompt() = default;
  // A message box; its caption is the program's name.
  virtual void Message(std::string_view text, Icon icon) = 0;
  // A Yes/No box; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption, Icon icon) = 0;
  // The space point dialog on a working record; false for Cancel.
  virtual bool EditSpacePoint(SpacePoint& record) = 0;
  // The offset dialog (x, y, z in mm); false for Cancel.
  virtual bool AskOffset(double& x, double& y, double& z) = 0;
};

// Which windows of a project a change concerns.
enum class ViewUpdate : int {
  kAll = -1,
  kThumbnails = 0,
  kImage = 1,
  kDataList = 2,
  kPlanMap = 3,
};

// Views of a document are told what changed through this interface.
class DocNotifier {
 public:
  virtual ~DocNotifier() = default;
  virtual void SetModified(bool modified) = 0;
  virtual void UpdateViews(ViewUpdate what) = 0;
};

// Reports progress of long work (the GUI's status bar, the CLI's stderr).
class Progress {
 public:
  virtual ~Progress() = default;
  // `done` of `total` steps, with an optional short text.
  virtual void Report(int done, int total, std::string_view text) = 0;
  // True once the user asked to stop the work (work that can be stopped
  // asks between its steps). Any thread may ask.
  virtual bool StopRequested() const { return false; }
};

}  // namespace vistamet
