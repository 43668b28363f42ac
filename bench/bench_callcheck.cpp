// Speed of the call check: lint, count range and --all-kinds of the largest macro, and the lint
// of long edited texts (linear in the length).
#include "CallCheck.h"
#include "LargestMacro.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace vmg;

namespace {

void LargestMacroFullCheck(benchmark::State& state) {
    const auto def = bench::LargestMacro();
    const std::string text = codegen::JoinCrLf(codegen::MacroLines(def, codegen::kMaxParams));
    for (auto _ : state) {
        const auto macro = callcheck::ReadMacro(text);
        benchmark::DoNotOptimize(callcheck::PassingCounts(macro));
        benchmark::DoNotOptimize(callcheck::CheckAllKinds(macro, def, codegen::kMaxParams));
    }
}
BENCHMARK(LargestMacroFullCheck)->Unit(benchmark::kMillisecond);

// An edited text of the given number of lines: the generated blocks repeated, a few broken.
std::string editedText(std::int64_t lines) {
    const auto block = codegen::MacroLines(bench::LargestMacro(), codegen::kMaxParams);
    std::string text = block[2] + "\r\n";
    for (std::int64_t i = 0; i < lines; ++i) {
        const std::string& line = block[3 + static_cast<std::size_t>(i) % (block.size() - 4)];
        text += i % 997 == 0 ? "#ELSE" : line;
        text += "\r\n";
    }
    return text + "ENDM\r\n";
}

void LintEditedText(benchmark::State& state) {
    const std::string text = editedText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(callcheck::ReadMacro(text));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(LintEditedText)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

} // namespace
