// Decoding text of the files shared with Windows users: valid CP936, and
// text that is invalid throughout (every byte replaced), 4 MiB each.
#include <benchmark/benchmark.h>

#include <string>

#include "common/cp936.h"

namespace {

void Decode(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    std::string out = common::DecodeText(text, common::TextEncoding::kCp936);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_DecodeCp936(benchmark::State& state) {
  std::string text;
  while (text.size() < (4u << 20)) text += "\xC4\xBF\xC2\xBC P1 12.5 ";  // 目录
  Decode(state, text);
}

void BM_DecodeInvalidText(benchmark::State& state) {
  Decode(state, std::string(4u << 20, '\xFF'));
}

BENCHMARK(BM_DecodeCp936)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeInvalidText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
