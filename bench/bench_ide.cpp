// Speed of reading and scanning the editor page: cleaning, the label and variable scans, and
// the whole load through our qvPluginMgr library.
#include "IDE_Info.h"
#include "Session.h"
#include "cPluginInterface.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace vmg;

namespace {

// A page of the usual mix: comments (some indented), labels, declarations, code, blank lines.
std::string generatedPage(std::int64_t lines) {
    std::string page;
    for (std::int64_t i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 8) {
        case 0:
            page += "' Section " + n;
            break;
        case 1:
            page += "Label" + n + ": ' entry";
            break;
        case 2:
            page += "Dim Var" + n + " As Word";
            break;
        case 3:
            page += "\tVar" + n + " = Var" + n + " + 1 ' step";
            break;
        case 4:
            page += "  ; older comment";
            break;
        case 5:
            page += "";
            break;
        case 6:
            page += "Dim A" + n + ", B" + n + " As Byte";
            break;
        default:
            page += "\tGoTo Label" + n;
            break;
        }
        page += "\r\n";
    }
    return page;
}

void perLine(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_CleanAndScan(benchmark::State& state) {
    const std::string page = generatedPage(state.range(0));
    for (auto _ : state) {
        const auto lines = ide::CleanPageText(page);
        benchmark::DoNotOptimize(ide::ScanLabels(lines));
        benchmark::DoNotOptimize(ide::ScanVariables(lines));
    }
    perLine(state);
}
BENCHMARK(BM_CleanAndScan)->Arg(10'000)->Arg(200'000)->Complexity(benchmark::oN);

// The start-up road: the library reads the page file, the module cleans and scans it.
void BM_LoadAndScanThroughLibrary(benchmark::State& state) {
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / "vmg-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    const fs::path page = fs::path(dir) / "Bench.bas";
    std::ofstream(page, std::ios::binary) << generatedPage(state.range(0));
    std::string why;
    pluginmgr::WriteSession(pluginmgr::Session{page.string(), 16, 1, 1}, why);
    ide::SetPluginLibraryPath("");
    ide::Connect(0);
    if (!ide::IsConnected()) {
        state.SkipWithError("libqvPluginMgr.so is not beside the benchmark");
    }
    for (auto _ : state) {
        if (!ide::LoadPageText()) {
            state.SkipWithError("the page did not load");
            break;
        }
        benchmark::DoNotOptimize(ide::FindLabels());
        benchmark::DoNotOptimize(ide::FindVariables());
    }
    perLine(state);
    fs::remove_all(dir);
}
BENCHMARK(BM_LoadAndScanThroughLibrary)->Arg(10'000)->Arg(200'000)->Complexity(benchmark::oN);

} // namespace
