// Opening the data list on 100,000 rows: the table is built once (every row
// formatted); the virtual list control then shows only the rows on screen.
#include <benchmark/benchmark.h>

#include "measure/shell/data_tables.h"

namespace {

using namespace vistamet;

CVistametDoc BigProject(int rows) {
  CVistametDoc doc;
  doc.photoPaths = {"a.bmp", "b.bmp"};
  doc.photoImages.resize(2);
  doc.photoParams.resize(2);
  for (ImageHolder& h : doc.photoImages) h.width = 6000, h.height = 4000;
  doc.spacePoints.resize(rows);
  doc.imagePoints.resize(rows);
  for (int i = 0; i < rows; ++i) {
    SpacePoint& s = doc.spacePoints[i];
    s.pointNumber = i;
    s.X = i * 1.5;
    s.Y = 2000 - i;
    s.Z = 0.25 * i;
    s.rayCount = 3;
    ImagePoint& p = doc.imagePoints[i];
    p.x = i % 6000;
    p.y = i % 4000;
    p.photoIndex = i % 2;
    p.pointNumber = i;
  }
  for (int i = 0; i + 1 < rows; i += 2) {
    doc.distancePairs.push_back(i);
    doc.distancePairs.push_back(i + 1);
  }
  return doc;
}

void BM_OpenTable(benchmark::State& state) {
  CVistametDoc doc = BigProject(100000);
  const auto kind = static_cast<ListKind>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(BuildTable(doc, kind));
  state.SetLabel(kind == ListKind::kDistances     ? "50,000 distances"
                 : kind == ListKind::kSpacePoints ? "100,000 space points"
                                                  : "100,000 image points");
}
BENCHMARK(BM_OpenTable)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SortTable(benchmark::State& state) {
  CVistametDoc doc = BigProject(100000);
  const DataTable table = BuildTable(doc, ListKind::kSpacePoints);
  for (auto _ : state) {
    DataTable t = table;
    SortTable(t, 3, false);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_SortTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
