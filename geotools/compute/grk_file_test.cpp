#include "geotools/compute/grk_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

namespace georeckon {
namespace {

// Builds document bytes field by field, independently of the writer.
class Bytes {
 public:
  Bytes& Text(const std::string& s) {
    b_ += s;
    return *this;
  }
  template <typename T>
  Bytes& Put(T v) {
    b_.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
  }
  Bytes& Doubles(int n, double v) {
    for (int i = 0; i < n; ++i) Put(v);
    return *this;
  }
  const std::string& str() const { return b_; }

 private:
  std::string b_;
};

std::string NewDocumentBytes() {
  return Bytes()
      .Text("GeoReckon\r\n1.0\r\n")
      .Put<int32_t>(-1)
      .Put<uint8_t>(0)
      .Put<int32_t>(1)
      .Put<int32_t>(1)
      .Doubles(7, 0)
      .Doubles(4, 0)
      .Put(6378137.0)
      .Put(0.0033528106647474805)
      .Put(6356752.314245179)
      .Put(0.00669437999014132)
      .Put<int32_t>(1)
      .str();
}

TEST(GrkFile, NewDocumentIs153Bytes) {
  const std::string bytes = SerializeGrk(GrkDocument());
  ASSERT_EQ(bytes.size(), 153u);
  EXPECT_EQ(bytes[20], '\0');  // length of the empty current text
  EXPECT_EQ(bytes, NewDocumentBytes());
}

TEST(GrkFile, RoundTripWithChineseTextAndCustomEllipsoid) {
  GrkDocument doc;
  doc.currentIndex = 2;
  doc.currentText = "高斯投影正反算";
  doc.inputUnit = kDegree;
  doc.outputUnit = kRadian;
  doc.spatialSlots = {1, 2, 3, 4, 5, 6, 7};
  doc.planeSlots = {-1, -2, -3, -4};
  doc.ellipsoid = CustomEllipsoid(6378245, 298.3);
  const std::string bytes = SerializeGrk(doc);
  EXPECT_EQ(static_cast<uint8_t>(bytes[20]), 14u);  // seven characters, two CP936 bytes each
  EXPECT_EQ(bytes.substr(21, 2), "\xB8\xDF");       // 高
  GrkDocument back;
  ASSERT_EQ(ParseGrk(bytes, &back).status, GrkStatus::kOk);
  EXPECT_EQ(back, doc);
}

TEST(GrkFile, StoredTextIsCodePageAndMarksWhatHasNoCodePageForm) {
  GrkDocument doc;
  for (const std::string text : {"目录", "前路全", "点\xF0\x9F\x98\x80"}) {
    doc.currentText = text;
    GrkDocument back;
    ASSERT_EQ(ParseGrk(SerializeGrk(doc), &back).status, GrkStatus::kOk);
    EXPECT_EQ(back.currentText, text);
  }
  doc.currentText = "目录";
  EXPECT_NE(SerializeGrk(doc).find("\xC4\xBF\xC2\xBC"), std::string::npos);
}

TEST(GrkFile, LengthPrefixes) {
  struct Case {
    size_t n;
    std::string prefix;
  } const cases[] = {
      {254, std::string("\xFE", 1)},
      {255, std::string("\xFF\xFF\x00", 3)},
      {0xFFFD, std::string("\xFF\xFD\xFF", 3)},
      {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
      {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    GrkDocument doc;
    doc.currentText.assign(c.n, 'x');
    const std::string bytes = SerializeGrk(doc);
    EXPECT_EQ(bytes.substr(20, c.prefix.size()), c.prefix);
    EXPECT_EQ(bytes.size(), 152 + c.prefix.size() + c.n);
    GrkDocument back;
    ASSERT_EQ(ParseGrk(bytes, &back).status, GrkStatus::kOk);
    EXPECT_EQ(back.currentText.size(), c.n);
  }
}

TEST(GrkFile, ProductWordInAnyCaseAndOtherLineEnds) {
  GrkDocument doc;
  std::string bytes = NewDocumentBytes();
  bytes.replace(0, 9, "georeckon");
  EXPECT_EQ(ParseGrk(bytes, &doc).status, GrkStatus::kOk);
  // LF-only and CR-only line ends: the second line is read and ignored.
  std::string lf = "GEORECKON\n2.5\n" + NewDocumentBytes().substr(16);
  EXPECT_EQ(ParseGrk(lf, &doc).status, GrkStatus::kOk);
  std::string cr = "GeoReckon\r1.0\r" + NewDocumentBytes().substr(16);
  EXPECT_EQ(ParseGrk(cr, &doc).status, GrkStatus::kOk);
  EXPECT_EQ(doc.version, "1.0");  // reading never changes the version
}

TEST(GrkFile, ForeignFilesLeaveTheDocumentAlone) {
  GrkDocument doc;
  doc.currentIndex = 5;
  const GrkDocument before = doc;
  for (const std::string& bytes : {std::string("GeoReckonX\r\n"), std::string("Vistamet\r\n"),
                                   std::string(""), std::string("GeoReckon 1.0")}) {
    EXPECT_EQ(ParseGrk(bytes, &doc).status, GrkStatus::kNotGrk) << bytes;
    EXPECT_EQ(doc, before);
  }
}

TEST(GrkFile, EveryTruncationIsRefusedAsDamaged) {
  GrkDocument doc;
  doc.currentText = "参数设置";
  doc.currentIndex = 0;
  const std::string bytes = SerializeGrk(doc);
  for (size_t n = 12; n < bytes.size(); ++n) {
    GrkDocument target;
    const GrkDocument before = target;
    const GrkReadResult r = ParseGrk(bytes.substr(0, n), &target);
    EXPECT_EQ(r.status, GrkStatus::kDamaged) << "cut at " << n;
    EXPECT_LE(r.offset, n);
    EXPECT_EQ(target, before);
  }
}

TEST(GrkFile, ImpossibleValuesAreRefused) {
  struct Case {
    size_t offset;
    int32_t value;
    const char* note;
  } const cases[] = {
      {16, 10, "function index 10"},
      {16, -2, "function index -2"},
      {21, 3, "input unit 3"},
      {25, -1, "output unit -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    std::string bytes = NewDocumentBytes();
    std::memcpy(bytes.data() + c.offset, &c.value, 4);
    GrkDocument doc;
    EXPECT_EQ(ParseGrk(bytes, &doc).status, GrkStatus::kDamaged);
    EXPECT_EQ(doc, GrkDocument());
  }
  std::string bytes = NewDocumentBytes();
  const double zero = 0;
  std::memcpy(bytes.data() + 117, &zero, 8);  // a = 0
  GrkDocument doc;
  EXPECT_EQ(ParseGrk(bytes, &doc).status, GrkStatus::kDamaged);
  // A wide-character text marker never occurs in these files.
  std::string wide = NewDocumentBytes();
  wide.replace(20, 1, std::string("\xFF\xFE\xFF\x00", 4));
  EXPECT_EQ(ParseGrk(wide, &doc).status, GrkStatus::kDamaged);
}

TEST(GrkFile, RandomDamageNeverCrashes) {
  GrkDocument doc;
  doc.currentText = "空间直角坐标转换";
  const std::string good = SerializeGrk(doc);
  std::mt19937 rng(7);
  for (int k = 0; k < 20000; ++k) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) bytes[16 + rng() % (bytes.size() - 16)] = static_cast<char>(rng());
    if (rng() % 3 == 0) bytes.resize(rng() % bytes.size());
    GrkDocument target;
    const GrkReadResult r = ParseGrk(bytes, &target);
    if (r.status == GrkStatus::kOk) {
      EXPECT_TRUE(IsAngleUnit(target.inputUnit));
      EXPECT_TRUE(IsUsableEllipsoid(target.ellipsoid));
    } else {
      EXPECT_EQ(target, GrkDocument());
    }
  }
}

TEST(GrkFile, SaveAndLoad) {
  const std::string path =
      testing::TempDir() + "/georeckon_doc_" + std::to_string(::getpid()) + ".grk";
  GrkDocument doc;
  doc.currentIndex = 4;
  doc.currentText = "大地主题解算";
  std::string error;
  ASSERT_TRUE(SaveGrkFile(path, doc, &error)) << error;
  GrkDocument back;
  EXPECT_EQ(LoadGrkFile(path, &back).status, GrkStatus::kOk);
  EXPECT_EQ(back, doc);
  // Saved through a symbolic link, the link stays a link.
  const std::string link = path + ".link";
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  doc.currentIndex = 5;
  ASSERT_TRUE(SaveGrkFile(link, doc, &error)) << error;
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(LoadGrkFile(path, &back).status, GrkStatus::kOk);
  EXPECT_EQ(back.currentIndex, 5);
  ::unlink(link.c_str());
  ::unlink(path.c_str());
  EXPECT_EQ(LoadGrkFile(path, &back).status, GrkStatus::kOpenFailed);
}

}  // namespace
}  // namespace georeckon
