// The main program of a benchmark that draws with the toolkit: it starts wx
// without a window of its own, runs the benchmarks and shuts wx down.
// Included once, by the benchmark's source file.
#pragma once

#include <benchmark/benchmark.h>

#include <wx/app.h>
#include <wx/init.h>

namespace bench_wx {

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace bench_wx

wxIMPLEMENT_APP_NO_MAIN(bench_wx::BenchApp);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int wx_argc = 1;
  char* wx_argv[] = {argv[0], nullptr};
  if (!wxEntryStart(wx_argc, wx_argv) || !wxTheApp->CallOnInit()) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  wxEntryCleanup();
  return 0;
}
