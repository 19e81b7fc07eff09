// Speed of the number routines against the libraries they replace, and of
// the whole report. Each pair runs over the same inputs.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/number_format.h"
#include "analysis/report.h"
#include "app/input.h"
#include "app/run.h"

namespace {

constexpr std::size_t kValues = 4096;

// One fixed set: small integers, short decimals, products of the report's
// constants, powers of ten across the range, and random finite bit patterns.
const std::vector<double>& values() {
  static const std::vector<double> set = [] {
    std::vector<double> v;
    std::mt19937_64 random(2002);
    while (v.size() < kValues) {
      switch (v.size() % 5) {
        case 0:
          v.push_back(static_cast<double>(random() % 2000) - 1000.0);
          break;
        case 1:
          v.push_back(static_cast<double>(random() % 100000) / 1000.0);
          break;
        case 2:
          v.push_back(0.33333333 * static_cast<double>(random() % 100 + 1) * 6.0);
          break;
        case 3:
          v.push_back(std::pow(10.0, static_cast<int>(random() % 601) - 300));
          break;
        default: {
          double x = std::bit_cast<double>(random());
          while (!std::isfinite(x)) x = std::bit_cast<double>(random());
          v.push_back(x);
        }
      }
    }
    return v;
  }();
  return set;
}

// The same values as a user could type them: short where they are short,
// 17 significant digits otherwise.
const std::string& numberTexts() {
  static const std::string text = [] {
    std::string all;
    char buffer[64];
    for (double x : values()) {
      std::snprintf(buffer, sizeof buffer, "%.*g", beam::kSignificantDigits, x);
      if (std::strtod(buffer, nullptr) != x) std::snprintf(buffer, sizeof buffer, "%.17g", x);
      all += buffer;
      all += '\n';
    }
    return all;
  }();
  return text;
}

void BM_formatValue(benchmark::State& state) {
  for (auto _ : state) {
    for (double x : values()) benchmark::DoNotOptimize(beam::formatValue(x));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(kValues));
}
BENCHMARK(BM_formatValue);

// The C library's own general notation with as many digits, as a yardstick.
void BM_snprintf_general(benchmark::State& state) {
  char buffer[32];
  for (auto _ : state) {
    for (double x : values()) {
      benchmark::DoNotOptimize(
          std::snprintf(buffer, sizeof buffer, "%.*g", beam::kSignificantDigits, x));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(kValues));
}
BENCHMARK(BM_snprintf_general);

// Reads all the number texts from memory, the way each reader gets them:
// the program's reader through a C stream (FileSource, as over standard
// input), istream's >> from a string stream. Each pass starts over.
void BM_readNumber(benchmark::State& state) {
  std::string text = numberTexts();
  std::FILE* file = fmemopen(text.data(), text.size(), "r");
  for (auto _ : state) {
    std::rewind(file);
    beam::FileSource source(file);
    beam::InputReader reader(source);
    double x = 0.0;
    for (std::size_t i = 0; i < kValues; ++i) {
      reader.readNumber(x);
      benchmark::DoNotOptimize(x);
    }
  }
  std::fclose(file);
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(kValues));
}
BENCHMARK(BM_readNumber);

void BM_istream_double(benchmark::State& state) {
  std::istringstream stream(numberTexts());
  for (auto _ : state) {
    stream.clear();
    stream.seekg(0);
    double x = 0.0;
    for (std::size_t i = 0; i < kValues; ++i) {
      stream >> x;
      benchmark::DoNotOptimize(x);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(kValues));
}
BENCHMARK(BM_istream_double);

void BM_report(benchmark::State& state) {
  beam::BeamProblem problem;
  problem.L = 6;
  problem.W = 2;
  std::strcpy(problem.weightUnit.text, "kN/m");
  std::strcpy(problem.forceUnit.text, "kN");
  std::strcpy(problem.lengthUnit.text, "m");
  std::string text;
  for (auto _ : state) {
    text.clear();
    beam::printReport(problem, text);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_report);

}  // namespace

BENCHMARK_MAIN();
