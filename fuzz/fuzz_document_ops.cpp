// The document operations on an accepted project: the sample project is
// loaded once; each input is a script of operations (one selector byte,
// then its arguments), and the user's answers to the questions the
// operations ask come from the same bytes. After every operation the
// document's rules must still hold.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "measure/model/vistamet_doc.h"

namespace {

class Script {
 public:
  Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A point number near the sample's (1 to 66), -1 (no number) included.
  int32_t Number() { return static_cast<int32_t>(Byte()) - 1; }
  int Index(int count) { return count > 0 ? Byte() % (count + 1) - (Byte() & 1) : Byte() - 1; }
  double Coordinate() { return (static_cast<int>(Byte()) - 28) * 8.0 + Byte() / 256.0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class ScriptedUser : public vistamet::UserPrompt {
 public:
  explicit ScriptedUser(Script* script) : s_(script) {}
  void Message(std::string_view, vistamet::Icon) override {}
  bool AskYesNo(std::string_view, std::string_view, vistamet::Icon) override {
    return s_->Byte() & 1;
  }
  bool EditSpacePoint(vistamet::SpacePoint& record) override {
    record.pointNumber = s_->Number();
    record.controlFlag = s_->Byte() % 3 - 1;
    record.X = s_->Coordinate();
    return s_->Byte() & 1;
  }
  bool AskOffset(double& x, double& y, double& z) override {
    x = s_->Coordinate();
    y = s_->Coordinate();
    z = s_->Coordinate();
    return s_->Byte() & 1;
  }

 private:
  Script* s_;
};

const vistamet::CVistametDoc& Sample() {
  static const vistamet::CVistametDoc* doc = [] {
    char tmpl[] = "/tmp/vistamet-fuzz-doc.XXXXXX";
    fuzz::Require(::mkdtemp(tmpl) != nullptr);
    static std::string folder = tmpl;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
    vistamet::SampleOptions options;
    options.width = 200;
    options.height = 200;
    std::string error;
    fuzz::Require(vistamet::WriteSampleProject(folder, options, &error));
    auto* d = new vistamet::CVistametDoc;
    fuzz::Require(vistamet::LoadProjectFile(folder + "/sample.vmt", d).ok());
    return d;
  }();
  return *doc;
}

// Runs one operation; returns its selector.
int Step(Script& s, vistamet::CVistametDoc& doc) {
  using vistamet::DistanceEnd;
  const int points = static_cast<int>(doc.imagePoints.size());
  const int op = s.Byte() % 18;
  switch (op) {
    case 0: doc.NumberImagePoint(s.Index(points)); break;
    case 1: doc.ClearImagePointNumber(s.Index(points)); break;
    case 2: doc.ClearCurrentPhotoNumbers(); break;
    case 3: doc.DeleteImagePoint(s.Index(points)); break;
    case 4:
      doc.DeleteUnnumberedPoints(s.Byte() & 1 ? vistamet::SweepScope::kAllPhotos
                                              : vistamet::SweepScope::kCurrentPhoto);
      break;
    case 5: doc.AddImagePoint(s.Coordinate(), s.Coordinate()); break;
    case 6: {
      vistamet::SpacePoint p;
      p.pointNumber = s.Number();
      p.controlFlag = s.Byte() % 3 - 1;
      p.X = s.Coordinate();
      doc.StoreSpacePoint(p);
      break;
    }
    // The commands delete with unnumbering; without it is an internal step
    // for points that no image point observes.
    case 7: doc.DeleteSpacePoint(s.Number(), true); break;
    case 8: doc.RenameSpacePoint(s.Number(), s.Number()); break;
    case 9: doc.RemoveAdjustedPoints(s.Index(doc.PhotoCount()), s.Number(), s.Byte() & 1); break;
    case 10: doc.RemoveDistancesOf(s.Number(), static_cast<DistanceEnd>(s.Byte() % 3)); break;
    case 11: doc.RemoveDistance(s.Index(doc.DistanceCount())); break;
    case 12: doc.ShiftOrigin(); break;
    case 13: doc.NumberAndTransfer(s.Index(points)); break;
    case 14: doc.SetCurrentPhoto(s.Index(doc.PhotoCount())); break;
    case 15: doc.DeletePhoto(s.Index(doc.PhotoCount())); break;
    case 16: doc.AutoTransfer(); break;
    case 17: doc.OrientPhoto(s.Index(doc.PhotoCount())); break;
  }
  return op;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vistamet::CVistametDoc doc = Sample();
  Script script(data, size);
  ScriptedUser user(&script);
  doc.SetPrompt(&user);
  for (int steps = 0; steps < 64 && !script.AtEnd(); ++steps) {
    const int op = Step(script, doc);
    const std::string broken = vistamet::FindBrokenInvariant(doc);
    if (!broken.empty()) std::fprintf(stderr, "step %d, operation %d: %s\n", steps, op, broken.c_str());
    fuzz::Require(broken.empty());
    fuzz::Require(doc.PhotoCount() == 0 || doc.ValidPhoto(doc.currentPhoto));
  }
  return 0;
}
