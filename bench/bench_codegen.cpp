// Speed of the code and hint generators and of the macro source reader and writer.
#include "LargestMacro.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

using namespace vmg;

namespace {

void BM_GenerateMacro(benchmark::State& state) {
    const auto def = vmg::bench::LargestMacro();
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(codegen::MacroLines(def, n));
    }
}
BENCHMARK(BM_GenerateMacro)->Arg(0)->Arg(1)->Arg(10)->Arg(20);

void BM_BuildKeyBlock(benchmark::State& state) {
    const auto def = vmg::bench::LargestMacro();
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(codegen::KeyBlock(def, n));
    }
}
BENCHMARK(BM_BuildKeyBlock)->Arg(0)->Arg(1)->Arg(10)->Arg(20);

std::string tempPath() {
    return (std::filesystem::temp_directory_path() / "vmg_bench_source.mcs").string();
}

void BM_WriteSource20(benchmark::State& state) {
    const auto def = vmg::bench::LargestMacro();
    const std::string path = tempPath();
    for (auto _ : state) {
        benchmark::DoNotOptimize(macsource::WriteMacroSource(path, def, 20));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteSource20);

void BM_ReadSource20(benchmark::State& state) {
    const std::string path = tempPath();
    macsource::WriteMacroSource(path, vmg::bench::LargestMacro(), 20);
    codegen::MacroDefinition def;
    for (auto _ : state) {
        benchmark::DoNotOptimize(macsource::ReadMacroSource(path, def));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadSource20);

} // namespace
