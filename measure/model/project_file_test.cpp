#include "measure/model/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "measure/model/test_photos.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::TempDir;
using testing::WritePhoto;

std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

TEST(ProjectFile, FreshDocumentWritesTheGoldenBytes) {
  const CVistametDoc doc;
  const std::string bytes = WriteProjectBytes(doc);
  const std::string lines =
      "1.0\n1.0\nVistamet\n1.231\n0\n1\n1\n1\n\n100\n0\n0\n0\n0\n0\n0\n1\n1\n0\n0\n0\n0\n0\n0\n";
  ASSERT_EQ(bytes.size(), lines.size() + 48);
  EXPECT_EQ(bytes.substr(0, lines.size()), lines);
  EXPECT_EQ(Hex(bytes.substr(lines.size())),
            "00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF "
            "FC A9 F1 D2 4D 62 40 3F 00 00 00 00 00 00 F8 3F 3C 00 00 00 "
            "00 00 00 00 00 00 F0 3F 00 00 00 00");
}

// A document that holds every kind of record, with non-default values.
class FullProject : public ::testing::Test {
 protected:
  void SetUp() override {
    paths_ = {WritePhoto(dir_.File("a.bmp"), 10, 8, 1), WritePhoto(dir_.File("b.bmp"), 6, 4, 2)};
    ASSERT_EQ(doc_.InitNewProject(paths_), 1);
    doc_.options.bCleanPoints = 1;
    doc_.options.bLmsFeature = 0;
    doc_.options.bKeepMinRms = 0;
    doc_.mapShowTime = 0;
    doc_.mapTitle = "平面图 title";
    doc_.mapScale = 250;
    doc_.planeSet = 1;
    doc_.listMode = 2;
    doc_.adjusted = 1;
    doc_.targetsExtracted = 1;
    doc_.currentPhoto = 1;
    doc_.viewMode = 3;
    doc_.bShowAdjusted = 0;
    doc_.bShowDistances = 0;
    doc_.listWindowOn = 1;
    doc_.bAutoPlaneTrans = 1;
    for (int k = 0; k < 22; ++k) doc_.photoParams[1].Set(k, 0.5 * k - 3.25);
    doc_.photoParams[0].e11 = 11;
    doc_.photoParams[0].e17 = -17;
    ImagePoint p;
    p.x = 1.25;
    p.y = 2.5;
    p.weightX = 3;
    p.weightY = 4;
    p.matchState = 2;
    p.photoIndex = 1;
    p.pointNumber = 1000;
    doc_.imagePoints = {p, ImagePoint{}};
    doc_.imagePoints[1].photoIndex = 0;
    SpacePoint s;
    s.X = -1.5;
    s.Y = 1e6;
    s.Z = 3.25;
    s.pointNumber = 1000;
    s.controlFlag = 1;
    s.rayCount = 2;
    s.aux1 = 7;
    s.aux2 = 8;
    s.aux3 = 9;
    doc_.spacePoints = {s};
    doc_.distancePairs = {1000, 1001, -2, 5};
    MapFeature f;
    f.pointNumber = 1000;
    f.symbolType = 3;
    f.scale = 2.5f;
    f.rotation = 0.75f;
    f.X = -4;
    f.Y = 5;
    f.Z = 6;
    f.lineWidth = 0.3f;
    f.colour = 0x00FF8040;
    doc_.mapFeatures = {f, MapFeature{}};
    doc_.planePoint = 1000;
    doc_.options.dAngleTol = 0.001;
    doc_.options.dCoordTol = 0.25;
    doc_.options.nMaxIter = 17;
    doc_.options.dControlWeight = 3.5;
    ImagePoint a = p;
    a.photoIndex = 0;
    doc_.adjustedPoints = {a};
    bytes_ = WriteProjectBytes(doc_);
    path_ = dir_.File("project.vmt");
    ASSERT_TRUE(common::SaveFileAtomically(path_, bytes_));
  }

  // The bytes of the same project in an older format version. The blocks
  // that later versions added stand at the end of the file, so older files
  // are cut from it: map features with the plane point (12 bytes), the
  // adjustment tolerances (20), the control weight (8) and the adjusted
  // points.
  std::string OldVersion(const std::string& version) const {
    std::string b = bytes_;
    b.replace(b.find("1.231\n"), 5, version);
    const size_t tail = 4 + doc_.mapFeatures.size() * 36 + 12 + 20 + 8 + 4 +
                        doc_.adjustedPoints.size() * 44;
    const size_t features_at = b.size() - tail;
    const size_t tolerances_at = features_at + 4 + doc_.mapFeatures.size() * 36 + 12;
    const size_t weight_at = tolerances_at + 20;
    if (version == "1.0") return b.substr(0, features_at);
    if (version == "1.1") return b.substr(0, tolerances_at);
    if (version == "1.2") return b.substr(0, weight_at);
    if (version == "1.21") return b.erase(weight_at, 8);
    return b;
  }

  TempDir dir_;
  CVistametDoc doc_;
  std::vector<std::string> paths_;
  std::string bytes_;
  std::string path_;
};

TEST_F(FullProject, RoundTripsByteForByte) {
  CVistametDoc back;
  const LoadResult r = LoadProjectFile(path_, &back);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.version, "1.231");
  EXPECT_EQ(WriteProjectBytes(back), bytes_);
  EXPECT_EQ(back.mapTitle, doc_.mapTitle);
  EXPECT_EQ(back.photoParams, doc_.photoParams);
  EXPECT_EQ(back.imagePoints, doc_.imagePoints);
  EXPECT_TRUE(back.spacePoints[0].SameStored(doc_.spacePoints[0]));
  EXPECT_TRUE(back.mapFeatures[0].SameStored(doc_.mapFeatures[0]));
  EXPECT_EQ(back.photoImages[0].width, 10);
  EXPECT_EQ(back.photoImages[1].height, 4);
  // The title is stored in CP936: "平面图" is C6 BD C3 E6 CD BC.
  EXPECT_NE(bytes_.find("\xC6\xBD\xC3\xE6\xCD\xBC title\n"), std::string::npos);
}

TEST_F(FullProject, OlderVersionsOpenWithDefaultsForMissingItems) {
  struct Case {
    const char* version;
    bool features, tolerances, weight, adjusted_points;
  } cases[] = {
      {"1.0", false, false, false, false},  {"1.1", true, false, false, false},
      {"1.2", true, true, false, false},    {"1.21", true, true, false, true},
      {"1.23", true, true, true, true},
  };
  for (const Case& c : cases) {
    CVistametDoc back;
    const LoadResult r = ReadProjectBytes(OldVersion(c.version), path_, &back);
    ASSERT_TRUE(r.ok()) << c.version << ": " << r.message;
    EXPECT_EQ(back.imagePoints, doc_.imagePoints) << c.version;
    EXPECT_EQ(back.distancePairs, doc_.distancePairs) << c.version;
    EXPECT_EQ(back.mapFeatures.size(), c.features ? 2u : 0u) << c.version;
    EXPECT_EQ(back.planePoint, c.features ? 1000 : -1) << c.version;
    EXPECT_EQ(back.options.dAngleTol, c.tolerances ? 0.001 : 0.0005) << c.version;
    EXPECT_EQ(back.options.dCoordTol, c.tolerances ? 0.25 : 1.5) << c.version;
    EXPECT_EQ(back.options.nMaxIter, c.tolerances ? 17 : 60) << c.version;
    EXPECT_EQ(back.options.dControlWeight, c.weight ? 3.5 : 1.0) << c.version;
    EXPECT_EQ(back.adjustedPoints.size(), c.adjusted_points ? 1u : 0u) << c.version;
    // Saved again, an old project is written in the current version.
    EXPECT_EQ(WriteProjectBytes(back).substr(0, 24), bytes_.substr(0, 24));
  }
}

TEST_F(FullProject, OldFileEndingAfterItsSettingsOpensEmpty) {
  // At the end of a file a text line reads as empty: a count of 0. A 1.0
  // file cut after its twenty settings lines (before the photo count)
  // therefore opens as a project without photos, points or distances.
  const std::string old = OldVersion("1.0");
  size_t cut = 0;
  for (int line = 0; line < 20; ++line) cut = old.find('\n', cut) + 1;
  CVistametDoc back;
  const LoadResult r = ReadProjectBytes(old.substr(0, cut), path_, &back);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(back.PhotoCount(), 0);
  EXPECT_TRUE(back.imagePoints.empty());
  EXPECT_TRUE(back.spacePoints.empty());
  EXPECT_TRUE(back.distancePairs.empty());
  EXPECT_EQ(back.mapTitle, doc_.mapTitle);
  EXPECT_EQ(back.bAutoPlaneTrans, doc_.bAutoPlaneTrans);
  // A current file needs its binary blocks: the same cut is refused.
  size_t cut_new = 0;
  for (int line = 0; line < 20; ++line) cut_new = bytes_.find('\n', cut_new) + 1;
  EXPECT_FALSE(ReadProjectBytes(bytes_.substr(0, cut_new), path_, &back).ok());
}

TEST_F(FullProject, SignatureIsCheckedOnlyAfterVersion123) {
  std::string b = OldVersion("1.23");
  b.replace(b.find("Vistamet"), 8, "Other");
  CVistametDoc back;
  EXPECT_TRUE(ReadProjectBytes(b, path_, &back).ok());

  std::string current = bytes_;
  current.replace(current.find("Vistamet"), 8, "Other");
  CVistametDoc refused;
  const LoadResult r = ReadProjectBytes(current, path_, &refused);
  EXPECT_EQ(r.status, LoadStatus::kNotVistamet);
  EXPECT_EQ(r.message, "该文件不是Vistamet的标准文档。");
}

TEST_F(FullProject, WrongFormatLinesAreRefused) {
  for (const std::string& b : {std::string("1.1\n1.0\n"), std::string("1.0\nx\n"),
                               std::string(""), std::string("\x89PNG")}) {
    CVistametDoc back;
    const LoadResult r = ReadProjectBytes(b, path_, &back);
    EXPECT_EQ(r.status, LoadStatus::kNotOurFormat);
    EXPECT_EQ(r.message, "该文件不是本程序的文档格式");
  }
}

TEST_F(FullProject, CarriageReturnLineEndsReadLikeLineFeeds) {
  // Every LF of the text part before the photo parameters becomes CR LF.
  const size_t params = bytes_.find(paths_[1] + "\n") + paths_[1].size() + 1;
  std::string crlf;
  for (size_t i = 0; i < params; ++i) {
    if (bytes_[i] == '\n') crlf += '\r';
    crlf += bytes_[i];
  }
  crlf += bytes_.substr(params);
  CVistametDoc back;
  const LoadResult r = ReadProjectBytes(crlf, path_, &back);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(WriteProjectBytes(back), bytes_);
}

TEST_F(FullProject, MissingPhotoIsLookedUpBesideTheProject) {
  // The stored paths are Windows paths of another machine.
  std::string moved = bytes_;
  for (const std::string& p : paths_) {
    const std::string windows = "D:\\survey\\" + common::BaseName(p);
    moved.replace(moved.find(p + "\n"), p.size(), windows);
  }
  CVistametDoc back;
  LoadResult r = ReadProjectBytes(moved, path_, &back);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(back.photoPaths, paths_);

  // When it is not there either, the open fails with the path.
  std::filesystem::remove(paths_[1]);
  CVistametDoc missing;
  r = ReadProjectBytes(moved, path_, &missing);
  EXPECT_EQ(r.status, LoadStatus::kPhotoMissing);
  EXPECT_EQ(r.message, "D:\\survey\\b.bmp 不存在或者打开错误，不能打开该图像!");
}

TEST_F(FullProject, EveryTruncationIsRefusedWithAMessage) {
  for (size_t n = 0; n < bytes_.size(); ++n) {
    CVistametDoc back;
    const LoadResult r = ReadProjectBytes(std::string_view(bytes_).substr(0, n), path_, &back);
    EXPECT_FALSE(r.ok()) << n;
    EXPECT_FALSE(r.message.empty()) << n;
  }
}

TEST_F(FullProject, HostileCountsAreRefusedBeforeAllocating) {
  // The image point count line "2" follows the two parameter records.
  const size_t m_at = bytes_.find(paths_[1] + "\n") + paths_[1].size() + 1 + 2 * 176;
  ASSERT_EQ(bytes_.substr(m_at, 2), "2\n");
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"huge photo count", [&] {
         std::string b = bytes_;
         b.replace(b.find("\n2\n" + paths_[0]), 3, "\n2000000000\n");
         return b;
       }()},
      {"huge image point count", [&] {
         std::string b = bytes_;
         b.replace(m_at, 2, "999999999\n");
         return b;
       }()},
      {"negative image point count", [&] {
         std::string b = bytes_;
         b.replace(m_at, 2, "-5\n");
         return b;
       }()},
      {"huge feature count", [&] {
         std::string b = OldVersion("1.1");
         const size_t at = b.size() - 4 - 2 * 36 - 12;
         b.replace(at, 4, std::string("\xFF\xFF\xFF\x7F", 4));
         return b;
       }()},
      {"negative feature count", [&] {
         std::string b = OldVersion("1.1");
         const size_t at = b.size() - 4 - 2 * 36 - 12;
         b.replace(at, 4, std::string("\xFF\xFF\xFF\xFF", 4));
         return b;
       }()},
      {"huge adjusted count", [&] {
         std::string b = bytes_;
         b.replace(b.size() - 44 - 4, 4, std::string("\x00\x00\x00\x40", 4));
         return b;
       }()},
  };
  for (const Case& c : cases) {
    CVistametDoc back;
    const LoadResult r = ReadProjectBytes(c.bytes, path_, &back);
    EXPECT_EQ(r.status, LoadStatus::kUnreadable) << c.what << ": " << r.message;
    EXPECT_NE(r.message.find(path_), std::string::npos) << c.what;
  }
}

TEST_F(FullProject, PointsOnPhotosThatDoNotExistAreRefused) {
  CVistametDoc broken = doc_;
  broken.imagePoints[0].photoIndex = 5;
  CVistametDoc back;
  EXPECT_EQ(ReadProjectBytes(WriteProjectBytes(broken), path_, &back).status,
            LoadStatus::kUnreadable);
  // An out-of-range current photo is simply reset.
  broken = doc_;
  broken.currentPhoto = 9;
  CVistametDoc reset;
  ASSERT_TRUE(ReadProjectBytes(WriteProjectBytes(broken), path_, &reset).ok());
  EXPECT_EQ(reset.currentPhoto, 0);
}

TEST(ProjectFile, TitleLineBreaksAreWrittenAsBlanks) {
  CVistametDoc doc;
  doc.mapTitle = "a\r\nb\nc";
  TempDir dir;
  CVistametDoc back;
  ASSERT_TRUE(ReadProjectBytes(WriteProjectBytes(doc), dir.File("x.vmt"), &back).ok());
  EXPECT_EQ(back.mapTitle, "a  b c");
}

TEST(ProjectFile, IntegerLinesReadLikeAtoi) {
  CVistametDoc doc;
  std::string b = WriteProjectBytes(doc);
  // Line 10 holds the map scale "100".
  b.replace(b.find("\n100\n"), 5, "\n  +42abc\n");
  TempDir dir;
  CVistametDoc back;
  ASSERT_TRUE(ReadProjectBytes(b, dir.File("x.vmt"), &back).ok());
  EXPECT_EQ(back.mapScale, 42);
}

TEST(ProjectFile, FailedSaveKeepsTheOldFileAndSaysWhy) {
  TempDir dir;
  CVistametDoc doc;
  std::string message;
  EXPECT_EQ(SaveProjectFile(doc, dir.File("missing/p.vmt"), &message), 0);
  EXPECT_NE(message.find("missing/p.vmt"), std::string::npos);
  const std::string path = dir.File("p.vmt");
  ASSERT_EQ(SaveProjectFile(doc, path), 1);
  std::string back;
  ASSERT_TRUE(common::ReadWholeFile(path, &back));
  EXPECT_EQ(back, WriteProjectBytes(doc));
}

}  // namespace
}  // namespace vistamet
