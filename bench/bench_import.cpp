// Speed of the importer: the largest macro read back from its text, alone and in a long file.
#include "LargestMacro.h"
#include "MacroImport.h"
#include "Upgrade.h"

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

// Upgrading a file of a hundred Parameter-return macros in the earlier count bounds, each with
// a call below it: every macro imported, regenerated, replaced, and its call checked twice.
void BM_UpgradeAHundred(benchmark::State& state) {
    codegen::MacroDefinition def;
    def.Header = {"Set", 2, 2, false, "Points at a table", 3};
    def.Params[0] = {"Addr", 3, "FSR0", false, true};
    def.Params[1] = {"Cnt", 2, "X", true, false};
    def.Params[2] = {"Step", 4, "Y", true, true};
    def.Return = {"PtrSub", true, false, {"", 2, "R", true, true}};
    std::string text = "Dim Buf As Word\r\nDim R As Byte\r\n";
    for (int i = 0; i < 100; ++i) {
        def.Header.MacroName = "Set" + std::to_string(i);
        std::string one = codegen::JoinCrLf(codegen::MacroLines(def, 3));
        // The earlier bounds: n - 1 above, one more below.
        one.replace(one.find("#IF (PRM_COUNT > 4)"), 19, "#IF (PRM_COUNT > 2)");
        const std::size_t lower = one.find("\t#IF (PRM_COUNT < ") + 18;
        const std::size_t close = one.find(')', lower);
        one.replace(lower, close - lower, std::to_string(std::stoi(one.substr(lower)) + 1));
        text += one + def.Header.MacroName + " Buf, 3, 7, R\r\n";
    }
    for (auto _ : state) {
        const auto plan = upgrade::PlanUpgrade(text, {});
        if (!plan.Changed || plan.Macros.size() != 100) {
            state.SkipWithError("the hundred macros were not all updated");
        }
        benchmark::DoNotOptimize(plan);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_UpgradeAHundred)->Unit(benchmark::kMillisecond);

} // namespace
