// Option strings are read for every setting of every settings object when a form opens.
#include <benchmark/benchmark.h>

#include <string>

#include "db/option_string.h"

static void BM_GetOption(benchmark::State& state) {
  std::string s;
  for (int i = 0; i < 40; ++i) s += "KEY" + std::to_string(i) + "=VALUE" + std::to_string(i) + ";";
  for (auto _ : state) benchmark::DoNotOptimize(xfer::db::GetOption(s, "key39"));
}
BENCHMARK(BM_GetOption);
