// The plan map of a large project: one paint (projection, extent, every
// feature, distance and point) into a sink that only counts, the DXF export,
// and reading the symbol library file.
#include <benchmark/benchmark.h>

#include "measure/model/map_export.h"
#include "measure/model/plan_map.h"

namespace {

using namespace vistamet;

class CountingSink : public DrawSink {
 public:
  void Line(double, double, double, double, double, uint32_t) override { ++n; }
  void Arc(double, double, double, double, double, double, uint32_t) override { ++n; }
  void Circle(double, double, double, double, uint32_t, Fill) override { ++n; }
  void Text(double, double, const std::string&, uint32_t) override { ++n; }
  long n = 0;
};

SymbolLibrary Symbols() {
  SymbolLibrary lib;
  lib.symbols.resize(30);
  for (VectorSymbol& s : lib.symbols)
    for (int k = 0; k < 8; ++k)
      s.elements.push_back({k % 3 + 1, {float(k), 0, 0, 10, float(k), 0}});
  return lib;
}

CVistametDoc BigMap(int points) {
  CVistametDoc doc;
  doc.adjusted = 1;
  doc.planeSet = 1;
  doc.planePoint = 0;
  doc.mapShowTime = 0;
  doc.spacePoints.resize(points);
  for (int i = 0; i < points; ++i) {
    SpacePoint& s = doc.spacePoints[i];
    s.pointNumber = i;
    s.X = (i % 1000) * 100.0;
    s.Y = 2000 + (i / 1000) * 100.0;
    s.Z = 0.5 * i;
    s.controlFlag = i % 50 == 0;
  }
  for (int i = 0; i + 1 < points; i += 2) {
    doc.distancePairs.push_back(i);
    doc.distancePairs.push_back(i + 1);
  }
  for (int i = 0; i < points / 10; ++i) {
    MapFeature f;
    f.symbolType = 1 + i % 30;
    f.X = i * 10;
    f.Y = 3000;
    doc.mapFeatures.push_back(f);
  }
  return doc;
}

void BM_PaintPlanMap(benchmark::State& state) {
  CVistametDoc doc = BigMap(static_cast<int>(state.range(0)));
  const SymbolLibrary symbols = Symbols();
  for (auto _ : state) {
    CountingSink sink;
    PaintPlanMap(doc, MapViewState{}, symbols, "", sink);
    benchmark::DoNotOptimize(sink.n);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PaintPlanMap)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DxfExport(benchmark::State& state) {
  const CVistametDoc doc = BigMap(static_cast<int>(state.range(0)));
  const SymbolLibrary symbols = Symbols();
  for (auto _ : state) benchmark::DoNotOptimize(PlanMapDxf(doc, symbols).size());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DxfExport)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadPdx(benchmark::State& state) {
  const std::string bytes = WritePdxBytes(Symbols());
  for (auto _ : state) {
    SymbolLibrary lib;
    benchmark::DoNotOptimize(ReadPdxBytes(bytes, &lib, nullptr));
  }
}
BENCHMARK(BM_ReadPdx)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
