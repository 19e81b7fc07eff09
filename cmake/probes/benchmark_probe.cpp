// Does a Google Benchmark program build and run with this compiler and
// standard library? (A library built for libstdc++ crashes under libc++.)
#include <benchmark/benchmark.h>
static void BM_nothing(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
}
BENCHMARK(BM_nothing);
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
