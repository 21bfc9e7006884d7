// Batch conversions of the coordinate tools on 1,000,000-line point files:
// read, parse, compute, format and write (through the temporary file, fsync
// and rename that every batch run uses). The input files are made once per
// run in $TMPDIR/georeckon_bench (or /tmp/georeckon_bench) and stay there, so
// other programs can be timed on the same points.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>
#include <string>

#include "common/atomic_file.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/number_format.h"

namespace {

using georeckon::BatchFunction;
using georeckon::BatchReport;
using georeckon::BatchSettings;
using georeckon::BatchStatus;

constexpr int kLines = 1000000;

std::string Folder() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/georeckon_bench";
}

// Points within 3° of the central meridian 117°E, as a Gauss zone holds them.
struct Files {
  std::string blh, xyz, gauss_xy;
};

const Files& InputFiles() {
  static const Files files = [] {
    Files f;
    const std::string dir = Folder();
    ::mkdir(dir.c_str(), 0755);
    f.blh = dir + "/blh_deg.txt";
    f.xyz = dir + "/xyz.txt";
    f.gauss_xy = dir + "/gauss_xyh.txt";
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> lat(20, 50), dlon(-3, 3), height(-50, 3000);
    std::string blh, xyz, xy;
    blh.reserve(48u * kLines);
    for (int i = 0; i < kLines; ++i) {
      const std::string name = "P" + std::to_string(i) + " ";
      blh += name;
      georeckon::AppendFixed(&blh, lat(rng), 0, 10);
      blh += ' ';
      georeckon::AppendFixed(&blh, 117 + dlon(rng), 0, 10);
      blh += ' ';
      georeckon::AppendFixed(&blh, height(rng), 0, 4);
      blh += '\n';
    }
    common::SaveFileAtomically(f.blh, blh);
    BatchSettings deg;
    deg.inputUnit = georeckon::kDegree;
    deg.outputUnit = georeckon::kDegree;
    deg.l0 = 117;
    georeckon::RunBatchText(BatchFunction::kBlhToXyz, deg, blh, &xyz);
    common::SaveFileAtomically(f.xyz, xyz);
    georeckon::RunBatchText(BatchFunction::kGaussForward, deg, blh, &xy);
    common::SaveFileAtomically(f.gauss_xy, xy);
    return f;
  }();
  return files;
}

void RunBatch(benchmark::State& state, BatchFunction function, const std::string& in) {
  BatchSettings s;
  s.inputUnit = georeckon::kDegree;
  s.outputUnit = georeckon::kDegree;
  s.l0 = 117;
  s.seven = georeckon::SevenParams{-102.5, 48.25, 80.125, 1.5, -0.8, 2.3, 5.5e-6};
  const std::string out = Folder() + "/out.txt";
  for (auto _ : state) {
    const BatchReport r = georeckon::RunBatchFile(function, s, in, out);
    if (r.status != BatchStatus::kOk || r.converted != kLines) {
      state.SkipWithError(("batch run failed: " + r.detail).c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_BlhToXyz(benchmark::State& state) {
  RunBatch(state, BatchFunction::kBlhToXyz, InputFiles().blh);
}
void BM_XyzToBlh(benchmark::State& state) {
  RunBatch(state, BatchFunction::kXyzToBlh, InputFiles().xyz);
}
void BM_GaussForward(benchmark::State& state) {
  RunBatch(state, BatchFunction::kGaussForward, InputFiles().blh);
}
void BM_GaussInverse(benchmark::State& state) {
  RunBatch(state, BatchFunction::kGaussInverse, InputFiles().gauss_xy);
}
void BM_SevenApply(benchmark::State& state) {
  RunBatch(state, BatchFunction::kSevenApply, InputFiles().xyz);
}

// One line of state.range(0) MiB (a name that long and three numbers): the
// reader finds each line end once, so the time grows with the length, not
// with its square.
void BM_OneLongLine(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  const std::string in = Folder() + "/long_line.txt";
  common::SaveFileAtomically(in, std::string(bytes, 'N') + " 1 2 3\n");
  const std::string out = Folder() + "/long_out.txt";
  for (auto _ : state) {
    const BatchReport r = georeckon::RunBatchFile(BatchFunction::kSevenApply, BatchSettings(), in, out);
    if (r.status != BatchStatus::kOk || r.converted != 1) {
      state.SkipWithError(("batch run failed: " + r.detail).c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

BENCHMARK(BM_OneLongLine)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlhToXyz)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_XyzToBlh)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GaussForward)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GaussInverse)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SevenApply)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
