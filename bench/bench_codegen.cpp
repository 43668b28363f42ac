// Speed of the code and hint generators and of the macro source reader and writer.
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

using namespace vmg;

namespace {

// The largest macro there is: 16-bit target, every parameter and the return AllowAlt.
codegen::MacroDefinition largest() {
    codegen::MacroDefinition def;
    def.Header.MacroName = "BigMacro";
    def.Header.Target = 2;
    def.Header.ReturnMethod = 2;
    def.Header.Description = "A macro with every parameter\r\nthat the wizard allows";
    for (int i = 0; i < codegen::kMaxParams; ++i) {
        auto& a = def.Params[static_cast<std::size_t>(i)];
        a.ArgName = "Arg" + std::to_string(i + 1);
        a.VarName = "Var" + std::to_string(i + 1);
        a.DataType = 2 + i % 4;
        a.AllowAlt = true;
        a.Optional = i >= 10;
    }
    def.Return.SubName = "BigSub";
    def.Return.UseGoSub = true;
    def.Return.RetArg = {"", 5, "Result", false, true};
    return def;
}

void BM_GenerateMacro(benchmark::State& state) {
    const auto def = largest();
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(codegen::MacroLines(def, n));
    }
}
BENCHMARK(BM_GenerateMacro)->Arg(0)->Arg(1)->Arg(10)->Arg(20);

void BM_BuildKeyBlock(benchmark::State& state) {
    const auto def = largest();
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
    const auto def = largest();
    const std::string path = tempPath();
    for (auto _ : state) {
        benchmark::DoNotOptimize(macsource::WriteMacroSource(path, def, 20));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteSource20);

void BM_ReadSource20(benchmark::State& state) {
    const std::string path = tempPath();
    macsource::WriteMacroSource(path, largest(), 20);
    codegen::MacroDefinition def;
    for (auto _ : state) {
        benchmark::DoNotOptimize(macsource::ReadMacroSource(path, def));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadSource20);

} // namespace
