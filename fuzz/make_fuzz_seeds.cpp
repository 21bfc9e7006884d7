// Writes the seed corpora of the fuzz targets with the programs' own
// writers: make_fuzz_seeds SOURCE_DIR OUT_DIR writes OUT_DIR/<target>/<seed>.
// Inputs of targets that take a leading selector byte get it prepended.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/cp936.h"
#include "fuzz/fuzz_support.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/grk_file.h"
#include "geotools/compute/param_file.h"
#include "measure/model/photo_encode.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "measure/model/symbol_library.h"

namespace {

std::string g_out;

bool Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  ::mkdir((g_out + "/" + target).c_str(), 0777);
  std::string error;
  if (common::SaveFileAtomically(g_out + "/" + target + "/" + name, bytes, &error)) return true;
  std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.c_str());
  return false;
}

std::string FileOrEmpty(const std::string& path) {
  std::string bytes;
  common::ReadWholeFile(path, &bytes);
  return bytes;
}

bool ProjectSeeds(const std::string& work) {
  vistamet::SampleOptions options;
  options.width = 200;
  options.height = 200;
  options.photos = 4;
  std::string error;
  if (!vistamet::WriteSampleProject(work, options, &error)) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.c_str());
    return false;
  }
  bool ok = Seed("fuzz_project_file", "sample.vmt", FileOrEmpty(work + "/sample.vmt")) &&
            Seed("fuzz_project_file", "sample_photos.vmt", FileOrEmpty(work + "/sample_photos.vmt")) &&
            Seed("fuzz_distance_file", "known_distances.txt",
                 FileOrEmpty(work + "/known_distances.txt"));
  // A small project with a Chinese title and a photo folder whose CP936
  // bytes are also valid UTF-8, and one with no photo.
  ::mkdir((work + "/目录").c_str(), 0777);
  common::SaveFileAtomically(work + "/目录/p.bmp", fuzz::SmallBmp());
  vistamet::CVistametDoc doc;
  if (doc.InitNewProject({work + "/目录/p.bmp"}) != 1) return false;
  doc.mapTitle = "目录 平面图";
  ok = ok && Seed("fuzz_project_file", "one_photo.vmt", vistamet::WriteProjectBytes(doc));
  vistamet::CVistametDoc empty;
  return ok && Seed("fuzz_project_file", "empty.vmt", vistamet::WriteProjectBytes(empty));
}

bool GeoReckonSeeds(const std::string& source) {
  georeckon::GrkDocument grk;
  bool ok = Seed("fuzz_grk_file", "new.grk", georeckon::SerializeGrk(grk));
  grk.currentIndex = 4;
  grk.currentText = "高斯投影正反算 目录 \xF0\x9F\x97\xBA";
  grk.spatialSlots = {1, 2, 3, 4, 5, 6, 7};
  ok = ok && Seed("fuzz_grk_file", "text.grk", georeckon::SerializeGrk(grk));

  const std::vector<georeckon::CommonPointRow> rows7 = {
      georeckon::MakeCommonPointRow("P1", std::vector<double>{1, 2, 3, 4, 5, 6}.data(), 6),
      georeckon::MakeCommonPointRow("点2", std::vector<double>{7, 8, 9, 10, 11, 12}.data(), 6)};
  const std::vector<georeckon::CommonPointRow> rows4 = {
      georeckon::MakeCommonPointRow("P1", std::vector<double>{1, 2, 3, 4}.data(), 4)};
  georeckon::SevenParams seven{1.5, -2.25, 3, 0.5, -0.75, 1.25, 4e-6};
  georeckon::FourParams four{10, -20, 1.5, 3e-6};
  ok = ok && Seed("fuzz_param_file", "seven.txt", "\x01" + georeckon::FormatSevenParamFile(seven, rows7));
  ok = ok && Seed("fuzz_param_file", "four.txt", std::string(1, '\0') +
                                                     georeckon::FormatFourParamFile(four, rows4));

  const std::string data = source + "/geotools/cli/testdata/";
  ok = ok && Seed("fuzz_common_points", "seven_points.txt", "\x01" + FileOrEmpty(data + "seven_points.txt"));
  ok = ok && Seed("fuzz_common_points", "four_points.txt",
                  std::string(1, '\0') + FileOrEmpty(data + "four_points.txt"));
  // Each batch function on its own test input.
  for (int i = 0; i < georeckon::kBatchFunctionCount; ++i) {
    const std::string name = georeckon::AllBatchFunctions()[i].cli_name;
    std::string file = name;
    for (char& c : file) c = c == '-' ? '_' : c;
    const std::string in = FileOrEmpty(data + file + ".in");
    if (in.empty()) continue;
    const std::string head = {static_cast<char>(i), static_cast<char>(4)};  // deg in and out
    ok = ok && Seed("fuzz_batch_lines", file + ".in", head + in);
    ok = ok && Seed("fuzz_scan_line", file + ".line", std::string(1, static_cast<char>(i)) +
                                                          in.substr(0, in.find('\n')));
  }
  return ok;
}

// Operation scripts for fuzz_document_ops: each operation once, then a few
// mixed runs.
bool DocumentSeeds() {
  bool ok = true;
  for (int op = 0; op < 18; ++op) {
    const std::string script = {static_cast<char>(op), 5, 1, 7, 2, 9, 1, 3};
    ok = ok && Seed("fuzz_document_ops", "op" + std::to_string(op), script);
  }
  return ok && Seed("fuzz_document_ops", "mixed",
                    std::string("\x00\x03\x01\x05\x00\x07\x02\x06\x0a\x01\x08\x02\x03\x0d\x04\x00"
                                "\x0e\x01\x0f\x02\x10\x11\x00", 23));
}

bool TextSeeds() {
  std::string cp936;
  common::Utf8ToCp936("目录 前路全 点", &cp936);
  return Seed("fuzz_cp936", "cp936.txt", cp936) && Seed("fuzz_cp936", "utf8.txt", "目录 前路全 点") &&
         Seed("fuzz_cp936", "stored.txt", common::Utf8ToStoredText("p\xF0\x9F\x98\x80 目录")) &&
         Seed("fuzz_cp936", "bom.txt", "\xEF\xBB\xBFP1 1 2\n");
}

// Small photos of every format, written by the sample's own encoders, and
// the symbol library compiled from its shipped source.
bool PhotoAndSymbolSeeds(const std::string& source_dir, const std::string& work) {
  std::vector<uint8_t> rgb(24 * 16 * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
  vistamet::ExifFields exif;
  exif.focalLengthMm = 24;
  exif.orientation = 6;
  bool ok = Seed("fuzz_photo_file", "small.bmp", fuzz::SmallBmp()) &&
            Seed("fuzz_photo_file", "small.jpg",
                 vistamet::EncodeJpeg(24, 16, 3, rgb.data(), 90, vistamet::BuildExifBlock(exif))) &&
            Seed("fuzz_photo_file", "grey.jpg", vistamet::EncodeJpeg(24, 16, 1, rgb.data(), 75)) &&
            Seed("fuzz_photo_file", "small.png", vistamet::EncodePng(24, 16, 3, 8, rgb.data()));
  const std::string tiff = work + "/small.tif";
  if (vistamet::WriteTiffFile(tiff, 24, 16, 1, 8, rgb.data(), 4))
    ok = ok && Seed("fuzz_photo_file", "small.tif", FileOrEmpty(tiff));
  vistamet::SymbolLibrary symbols;
  std::string error;
  if (vistamet::ParseSymbolSource(FileOrEmpty(source_dir + "/data/symbols.txt"), &symbols,
                                  &error))
    ok = ok && Seed("fuzz_pdx_file", "symbols.pdx", vistamet::WritePdxBytes(symbols));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_fuzz_seeds SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  g_out = argv[2];
  ::mkdir(g_out.c_str(), 0777);
  char tmpl[] = "/tmp/make_fuzz_seeds.XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const bool ok = ProjectSeeds(tmpl) && GeoReckonSeeds(argv[1]) && DocumentSeeds() && TextSeeds() &&
                  PhotoAndSymbolSeeds(argv[1], tmpl);
  std::error_code ignored;
  std::filesystem::remove_all(tmpl, ignored);
  return ok ? 0 : 1;
}
