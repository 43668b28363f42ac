// Speed of one live-preview update for the largest macro: the draft, its text, the changed
// lines, the colouring into the document and the repaint, per update (median and 99th
// percentile over many single updates).
#include "PreviewWindow.h"

#include "ChangedLines.h"
#include "CodeBox.h"

#include "LargestMacro.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace vmg;

namespace {

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// Each round toggles the last parameter's Optional flag, as a click on the box would, so that
// every update has changed lines to find and mark. One round per repetition, timed alone, so
// that the statistics are over single updates; the window is made outside the timing.
void BM_PreviewUpdate(benchmark::State& state) {
    static const richtext::HighlighterSettings settings;
    wizard::PreviewWindow window(settings, nullptr);
    window.resize(560, 600);
    window.show();
    const codegen::MacroDefinition kept = vmg::bench::LargestMacro();
    bool optional = kept.Params[codegen::kMaxParams - 1].Optional;
    window.ShowDraft(kept, codegen::kMaxParams, {});
    for (auto _ : state) {
        codegen::MacroDefinition draft = kept; // the frame's copy
        optional = !optional;
        draft.Params[codegen::kMaxParams - 1].Optional = optional;
        window.ShowDraft(draft, codegen::kMaxParams, {});
        window.CodeBox()->viewport()->repaint();
    }
    window.hide();
}
BENCHMARK(BM_PreviewUpdate)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(200)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, 0.99); });

// The parts of one update, for finding where its time goes.
void BM_PreviewParts(benchmark::State& state) {
    static const richtext::HighlighterSettings settings;
    const codegen::MacroDefinition def = vmg::bench::LargestMacro();
    QTextEdit box;
    const codegen::Lines lines = codegen::MacroLines(def, codegen::kMaxParams);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: // the text of the code and of the keyword block
            benchmark::DoNotOptimize(codegen::MacroLines(def, codegen::kMaxParams));
            benchmark::DoNotOptimize(codegen::KeyBlock(def, codegen::kMaxParams));
            break;
        case 1: // the changed lines
            benchmark::DoNotOptimize(codegen::ChangedLines(lines, lines));
            break;
        default: // the coloured document
            wizard::FillCodeBox(&box, lines, settings);
            break;
        }
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_PreviewParts)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The window remembers its place when it hides: here in a folder of our own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
