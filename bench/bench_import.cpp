// Speed of the importer: the largest macro read back from its text, alone and in a long file.
#include "LargestMacro.h"
#include "MacroImport.h"

#include <benchmark/benchmark.h>

using namespace vmg;

namespace {

void BM_ImportLargestMacro(benchmark::State& state) {
    const auto def = vmg::bench::LargestMacro();
    const std::string text = codegen::JoinCrLf(codegen::MacroLines(def, codegen::kMaxParams));
    const auto places = macimport::FindMacros(text);
    for (auto _ : state) {
        auto result = macimport::ImportMacro(text, places.front());
        if (!result.Ok) {
            state.SkipWithError(result.Message.c_str());
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ImportLargestMacro)->Unit(benchmark::kMicrosecond);

// Finding the macros of a page of a hundred of them, each the largest.
void BM_FindMacrosInAHundred(benchmark::State& state) {
    const auto def = vmg::bench::LargestMacro();
    const std::string one = codegen::JoinCrLf(codegen::MacroLines(def, codegen::kMaxParams));
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += one + "Main:\r\n";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(macimport::FindMacros(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindMacrosInAHundred)->Unit(benchmark::kMicrosecond);

} // namespace
