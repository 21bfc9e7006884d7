// The measurement project document: every record of one project, held by
// value, and the operations that change them. Views and computations keep
// only photo indices and point numbers and look records up again after a
// change.
//
// Invariants kept by every operation:
//  1. photoPaths, photoImages and photoParams have the same length.
//  2. Every image point's photoIndex is a valid photo index.
//  3. A numbered image point refers to a space point of that number; on one
//     photo a number occurs at most once.
//  4. Space point numbers are unique.
//  5. distancePairs has an even length.
//  6. currentPhoto is a valid index whenever there is a photo.
//  7. options.dWeightX and options.dWeightY are greater than 0.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "measure/compute/adjustment.h"
#include "measure/compute/extraction_job.h"
#include "measure/compute/lsm_matching.h"
#include "measure/records/records.h"
#include "measure/records/user_prompt.h"

namespace vistamet {

enum class ResectStatus;  // measure/compute/orientation.h

// The options kept per user outside the project file, and the hidden
// choice of the adjustment's reference engine (never written by the
// program; set by hand to compare the engines).
struct UserSettings {
  int32_t bLmsFeature = 1;
  int32_t bAutoPlaneTrans = 0;
  int32_t photoCacheMb = 1024;  // the decoded-photo cache's bound
  TargetOptions targets;        // how the extraction measures and sifts targets
  int32_t denseAdjustEngine = 0;
};

// The camera a new project gives its photos: a value above 0 wins;
// otherwise each photo's EXIF focal length and focal-plane resolution, and
// where those are missing the initial values.
struct NewProjectCamera {
  double f = 0;          // mm
  double pixelSize = 0;  // mm
};

// Which photos the sweep of unnumbered points covers.
enum class SweepScope { kAllPhotos, kCurrentPhoto };

// Which end of a distance names a point.
enum class DistanceEnd { kStart, kEnd, kEither };

class CVistametDoc {
 public:
  explicit CVistametDoc(const UserSettings& settings = {});

  // Members in their documented order; the ones marked (P) are stored in
  // the project file.
  std::string strVersion = "1.231";
  std::vector<std::string> photoPaths;        // (P) UTF-8 paths
  // Size and bounds of each photo, read from its header when the project
  // was opened; the pixels come from PhotoPixels.
  std::vector<ImageHolder> photoImages;
  std::vector<ImagePoint> imagePoints;        // (P)
  std::vector<ImagePoint> adjustedPoints;     // (P) back-projected by the adjustment
  std::vector<SpacePoint> spacePoints;        // (P)
  std::vector<PhotoParams> photoParams;       // (P)
  DistancePairs distancePairs;                // (P) two numbers per distance
  std::vector<MapFeature> mapFeatures;        // (P)
  int32_t planePoint = kNoNumber;             // (P)
  int32_t reserved1 = -1, reserved2 = -1;     // (P)
  int32_t planeSet = 0;                       // (P)
  std::string mapTitle;                       // (P)
  int32_t mapShowTime = 1;                    // (P)
  int32_t currentPhoto = 0;                   // (P)
  std::vector<int32_t> highlightList;         // highlighted distance indices
  int32_t mapScale = 100;                     // (P) 1:mapScale
  int32_t targetsExtracted = 0;               // (P)
  int32_t extractionRunning = 0;
  int32_t adjustmentRunning = 0;              // the adjustment runs on the worker
  int32_t autoExtract = 1;
  int32_t adjusted = 0;                       // (P)
  int32_t bAutoPlaneTrans = 0;                // (P)
  int32_t bShowAdjusted = 1;                  // (P)
  int32_t bShowDistances = 1;                 // (P)
  int32_t listWindowOn = 0;                   // (P)
  int32_t mapWindowOn = 0;
  int32_t modelWindowOn = 0;
  int32_t mapShowSpatialDist = 1;
  // The extraction worker lives in extraction_ (below); extractionRunning
  // tells whether it runs.
  int32_t viewMode = 0;                       // (P)
  int32_t listMode = 0;                       // (P)
  int32_t mapEditFeatures = 0;
  // (P) the adjustment options: tolerances, control weight, iteration
  // limit, keep-best, cleaning and matching (image weights are not stored)
  AdjustmentOptions options;
  // How the extraction measures and sifts the targets (per user, not in
  // the project file).
  TargetOptions targetOptions;
  // Not stored: how normal equations are solved (the dense engine is the
  // reference), and how the last bundle adjustment ended, with the
  // precision of its points and photos.
  AdjustEngine adjustEngine = AdjustEngine::kReduced;
  bool adjustPrecision = true;  // compute the precision of every unknown
  AdjustSummary lastAdjustment;

  // --- Wiring to the user interface (both optional) ---
  void SetNotifier(DocNotifier* notifier) { notifier_ = notifier; }
  void SetPrompt(UserPrompt* prompt) { prompt_ = prompt; }
  UserPrompt* Prompt() const { return prompt_; }

  void SetModified(bool modified = true);
  bool IsModified() const { return modified_; }
  void UpdateViews(ViewUpdate what) const;

  // Takes new options; a weight that is not positive becomes tiny.
  void SetOptions(const AdjustmentOptions& options);

  // True while work on the worker holds the project (the extraction or the
  // adjustment): nothing may change the records until its result is in.
  bool WorkRunning() const { return extractionRunning != 0 || adjustmentRunning != 0; }

  int PhotoCount() const { return static_cast<int>(photoPaths.size()); }
  bool ValidPhoto(int photo) const { return photo >= 0 && photo < PhotoCount(); }

  // --- Lookups (no side effects); -1 when not found ---
  int FindSpacePoint(int32_t number) const;
  int FindControlPoint(int32_t number) const;
  // With on_photo: the point of `photo` (-1: the current photo) with that
  // number; without: the first image point with that number on any photo.
  int FindImagePointByNumber(int32_t number, int photo = -1, bool on_photo = true) const;
  // The first image point of `photo` (-1: current) within `radius` pixels.
  int FindImagePointNear(double x, double y, double radius, int photo = -1) const;
  // Largest number of the numbered image points of one photo, ignoring
  // 1000..1003, or -1; *count receives how many numbered points it has.
  int32_t HighestPointNumber(int photo, int* count = nullptr) const;
  // The same over all photos, except that 999 is returned as 1003 so that
  // the number proposed after 999 is 1004.
  int32_t HighestPointNumber() const;
  int FindDistance(int32_t a, int32_t b) const;
  int DistanceCount() const { return static_cast<int>(distancePairs.size() / 2); }
  // Euclidean length of distance i in millimetres; false when an end is
  // not a space point.
  bool DistanceLength(int i, double* mm) const;

  // --- Photos ---
  // Fills the photo members of a fresh document from `paths`, reading each
  // file's header. A file that is not a photo we read, or a path listed
  // twice, refuses the whole project (the document stays empty) and
  // *error names it.
  int InitNewProject(const std::vector<std::string>& paths, std::string* error = nullptr,
                     const NewProjectCamera& camera = {});
  // Appends a photo with default parameters. Fails when the path is already
  // in the project or the file is not a photo we read.
  int AddPhoto(const std::string& path, std::string* error = nullptr);
  // The decoded pixels of photo i (grey image; colour rows too when
  // `colour`), from the shared photo cache or decoded now. Null with
  // *error when the file cannot be decoded or is no longer the size it had
  // when it joined the project. A photo whose pixels the document holds
  // itself (built in memory) is returned as it is.
  std::shared_ptr<const ImageHolder> PhotoPixels(int photo, bool colour = false,
                                                 std::string* error = nullptr) const;
  // PhotoPixels as a source of grey images for matching.
  GreyPhotoSource GreyPhotos() const {
    return [this](int32_t photo) { return PhotoPixels(photo); };
  }
  // Removes photo n and everything that only it observed. Fails with fewer
  // than 2 photos or an invalid index.
  int DeletePhoto(int n);
  void SetCurrentPhoto(int n);

  // --- Numbering and space points ---
  int NumberImagePoint(int i);
  int ClearImagePointNumber(int i);
  int ClearCurrentPhotoNumbers();
  int DeleteImagePoint(int i);
  int DeleteUnnumberedPoints(SweepScope scope);
  int AddImagePoint(double x, double y);
  // 1 when appended, 0 when a point of that number was updated.
  int StoreSpacePoint(const SpacePoint& record);
  int DeleteSpacePoint(int32_t number, bool unnumber);
  int RenameSpacePoint(int32_t from, int32_t to);
  // per_photo: removes the first back-projected point of that photo and
  // number (1 if one was removed); otherwise removes every one of that
  // number and returns 0.
  int RemoveAdjustedPoints(int photo, int32_t number, bool per_photo);
  // The distances that start, end, or start or end at `number`.
  int RemoveDistancesOf(int32_t number, DistanceEnd end);
  int RemoveDistance(int j);
  // Asks for an offset and adds it to every space point.
  void ShiftOrigin();

  // The image view's edit click: numbers image point i (dialog) and, when a
  // number was assigned and bAutoPlaneTrans is on, transfers the points of
  // the current photo to the others; then refreshes all views.
  int NumberAndTransfer(int i);

  // --- Automatic target extraction ---
  // Hands a task to the thread that owns the document (the GUI posts it to
  // its event loop). The task may be dropped when the document is gone.
  using PostToOwner = std::function<void(std::function<void()>)>;
  // The menu command: asks before wiping data when targets were extracted
  // or the project was adjusted; nothing while an extraction runs. 1 when
  // an extraction was started.
  int ExtractTargetsCommand(const PostToOwner& post);
  // After a new project or a load: starts the extraction when
  // targetsExtracted is 0 and autoExtract is 1, asking first when the
  // project already holds points or distances ("No" keeps everything).
  int ExtractAfterOpen(const PostToOwner& post);
  // The rules both the document and the windows follow: the menu command
  // asks before wiping data when targets were extracted or the project was
  // adjusted; after opening, the extraction is due when targetsExtracted is
  // 0 and autoExtract is 1, and asks when the project holds measurements.
  bool ExtractionCommandAsks() const { return targetsExtracted || adjusted; }
  bool ExtractionDueAfterOpen() const { return !targetsExtracted && autoExtract == 1; }
  bool HoldsMeasurements() const {
    return !imagePoints.empty() || !spacePoints.empty() || !distancePairs.empty();
  }
  // Starts the worker for all photos or for the last (added) photo. The
  // lists stay untouched until the finished result is handed back through
  // `post` and swapped in.
  int StartExtraction(ExtractionKind kind, const PostToOwner& post);
  // The same on the calling thread, for the command-line program.
  int ExtractNow(ExtractionKind kind);
  // The job StartExtraction and ExtractNow run: the photos' grey images
  // are decoded on the job's thread as their turn comes.
  std::function<ExtractionResult(const std::atomic<bool>*)> MakeExtractionJob(
      ExtractionKind kind) const;
  // Stops the running work (extraction or adjustment) and waits for it;
  // its result is dropped and the project stays as it was.
  void StopWork();
  // Swaps a finished result into the lists (the owner's thread).
  int FinishExtraction(ExtractionResult&& result);

  // --- Orientation and adjustment ---
  // Resection of one photo from its first four measured control points;
  // `status`, when given, says why it failed.
  int OrientPhoto(int photo, ResectStatus* status = nullptr);
  // Corresponding point search from the current photo to every other one.
  int AutoTransfer(int* assigned = nullptr);
  // Pixels to image-plane mm with the point's own photo.
  int ToPhotoMm(ImagePoint& point) const;
  // All orientations together from the control points alone; 0 and nothing
  // changed when the core does not converge.
  int RefineFromControlPoints(const AdjustmentReports& reports, Progress* progress = nullptr);
  // The bundle adjustment command; reports go to `reports`' folder.
  int BundleAdjust(const AdjustmentReports& reports, Progress* progress = nullptr,
                   AdjustSummary* summary = nullptr);
  // The same command on the worker: BundleAdjust runs on a copy of the
  // project while the project stays as it is and locked (WorkRunning).
  // The finished copy's records are swapped in through `post` on the
  // owner's thread, then the run's messages are shown and `done` is called
  // with BundleAdjust's result. `progress` receives the run's reports; its
  // stop request ends the run and leaves the project as it was. 1 when the
  // run was started; nothing while other work runs.
  using AdjustmentDone = std::function<void(int ok)>;
  int StartAdjustment(const AdjustmentReports& reports, const PostToOwner& post,
                      std::shared_ptr<Progress> progress, AdjustmentDone done = {});

 private:
  bool AnyImagePointNumbered(int32_t number) const;
  void RemoveFeaturesOf(int32_t number);
  void Message(const std::string& text, Icon icon) const;
  bool AskYesNo(const std::string& text, const std::string& caption) const;


  // --- The steps of the adjustment commands (adjust_command.cpp) ---
  // What one run of the adjustment core works on: observations in
  // image-plane mm, and the points they observe (controlFlag -1 held fixed,
  // 0 unknown).
  struct AdjustmentInput {
    std::vector<ImagePoint> observations;
    std::vector<SpacePoint> points;
  };
  // The core on `input` with the document's options; a failed solve is shown
  // with the unknown it failed on.
  int RunAdjustment(AdjustmentInput& input, std::vector<PhotoParams>& photos,
                    std::vector<ImagePoint>* residuals, const AdjustmentReports& reports,
                    Progress* progress, AdjustSummary* summary, bool precision = false);
  // Resects every photo; warns about the first one that cannot be resected
  // (too few control points, or control points on one line) and returns
  // false there.
  bool ResectEveryPhoto();
  // Every space point with at least two rays, as observed now; points with
  // fewer rays are reset (or deleted when cleaning).
  AdjustmentInput CollectAdjustmentInput(Progress* progress);
  // Adds space point si to `input` or resets it. False when it was deleted,
  // so that the next point now stands at si.
  bool PreparePointForAdjustment(size_t si, AdjustmentInput& input);
  // Matches the image points of one number: targets to the target model on
  // their photos (when targets are refined), other points as windows to
  // the first one.
  void MatchToFirstImagePoint(const std::vector<int>& observing);
  void MatchWindows(const std::vector<int>& observing);
  // The image points `indices` in image-plane mm, without those that cannot
  // be converted.
  std::vector<ImagePoint> RaysInMm(const std::vector<int>& indices) const;
  // A point with two rays or more: weighted rays and the entry, with start
  // coordinates intersected from the rays unless it is a control point.
  void AddObservedPoint(SpacePoint& s, std::vector<ImagePoint> rays, AdjustmentInput& input);
  // What the adjustment command may change, kept so that a stopped run
  // leaves the project as it was.
  struct AdjustableState {
    std::vector<ImagePoint> imagePoints, adjustedPoints;
    std::vector<SpacePoint> spacePoints;
    std::vector<PhotoParams> photoParams;
    DistancePairs distancePairs;
    std::vector<int32_t> highlightList;
    std::vector<MapFeature> mapFeatures;
    int32_t planePoint = kNoNumber, planeSet = 0, adjusted = 0;
    bool modified = false;
  };
  AdjustableState SaveAdjustableState() const&;
  AdjustableState SaveAdjustableState() &&;  // moves the records out
  void PutAdjustableState(AdjustableState state);
  // Puts the state back after a stop; returns 0 (the command's result).
  int RestoreAfterStop(AdjustableState state);
  // Takes what a finished run on a copy changed (see StartAdjustment).
  void TakeAdjustedCopy(CVistametDoc& work);
  // Orientations, coordinates and back-projected points of a successful run.
  void TakeAdjustmentResult(std::vector<PhotoParams> photos,
                            const std::vector<SpacePoint>& points,
                            std::vector<ImagePoint> residuals);

  // The worker and a token that posted completions check, so a result that
  // arrives after the document is gone is dropped. Copies of a document
  // start without a worker.
  struct ExtractionSlot {
    ExtractionSlot();
    ~ExtractionSlot();
    ExtractionSlot(const ExtractionSlot&) : ExtractionSlot() {}
    ExtractionSlot& operator=(const ExtractionSlot&) { return *this; }
    std::unique_ptr<class ExtractionRunner> runner;
    std::shared_ptr<char> alive;
  };
  ExtractionSlot extraction_;
  DocNotifier* notifier_ = nullptr;
  UserPrompt* prompt_ = nullptr;
  bool modified_ = false;
};

// Checks invariants 2 to 5 on records that came from outside (a file):
// an empty string when they hold, else the first broken rule, naming the
// record (1-based) and its number.
std::string FindBrokenInvariant(const CVistametDoc& doc);

// The ranges the options sheet accepts for the adjustment options.
inline constexpr int32_t kMaxIterationsLimit = 200;
inline constexpr double kMaxCoordTol = 10000;     // mm
inline constexpr double kMaxAngleTol = 0.1;       // rad
inline constexpr double kMinControlWeight = 1;
inline constexpr double kMaxControlWeight = 10000;
inline constexpr double kMaxObservationWeight = 10000;

// Brings every adjustment option into the sheet's range: a value outside
// it becomes the nearest valid one, a value that is not a number the
// default. Returns one message per changed option (empty when none was).
std::vector<std::string> ClampAdjustmentOptions(AdjustmentOptions* options);

}  // namespace vistamet
