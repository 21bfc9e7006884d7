// Helpers shared by the core tests: temporary folders, generated photos and
// a scripted user.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "measure/records/records.h"
#include "measure/records/user_prompt.h"

namespace vistamet::testing {

// A space point at (x, y, z) mm.
inline SpacePoint MakeSpacePoint(int32_t number, double x, double y, double z, int control,
                                 int rays) {
  SpacePoint s;
  s.pointNumber = number;
  s.X = x;
  s.Y = y;
  s.Z = z;
  s.controlFlag = control;
  s.rayCount = rays;
  return s;
}

// A fresh folder under /tmp, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Answers the document's questions from a script. Every call is recorded.
class ScriptedPrompt : public UserPrompt {
 public:
  void Message(std::string_view text, Icon icon) override {
    messages.emplace_back(text);
    icons.push_back(icon);
  }
  bool AskYesNo(std::string_view text, std::string_view, Icon) override {
    questions.emplace_back(text);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  bool EditSpacePoint(SpacePoint& record) override {
    shown.push_back(record);
    if (edits.empty()) return false;
    auto edit = edits.front();
    edits.pop_front();
    return edit(record);
  }
  bool AskOffset(double& x, double& y, double& z) override {
    if (!offset_ok) return false;
    x = offset[0];
    y = offset[1];
    z = offset[2];
    return true;
  }

  // Answers the next space point dialog with OK and the given number (the
  // reference corners filled in as the dialog does).
  void TypeNumber(int32_t number);
  void TypeControl(int32_t number, double x, double y, double z);
  void Cancel() {
    edits.push_back([](SpacePoint&) { return false; });
  }

  std::deque<std::function<bool(SpacePoint&)>> edits;
  std::deque<bool> answers;
  std::vector<SpacePoint> shown;
  std::vector<std::string> messages;
  std::vector<Icon> icons;  // of the messages
  std::vector<std::string> questions;
  bool offset_ok = true;
  double offset[3] = {0, 0, 0};
};

class CountingNotifier : public DocNotifier {
 public:
  void SetModified(bool m) override { modified = m; }
  void UpdateViews(ViewUpdate what) override { codes.push_back(what); }
  bool modified = false;
  std::vector<ViewUpdate> codes;
};

}  // namespace vistamet::testing
