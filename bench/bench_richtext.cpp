// Speed of the code colouring and of the RTF writer and reader on the largest macro there is.
#include "CodeColouring.h"
#include "Cp1252.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include "LargestMacro.h"

#include <benchmark/benchmark.h>

using namespace vmg;

namespace {

// 16-bit target, return through a parameter, every parameter and the return AllowAlt.
QString largestMacroText() {
    const codegen::MacroDefinition def = vmg::bench::LargestMacro();
    return richtext::DecodeCp1252(codegen::JoinCrLf(codegen::MacroLines(def, codegen::kMaxParams)));
}

// Entering page 4: the text replaced and coloured.
void BM_LoadAndColourCode(benchmark::State& state) {
    const QString text = largestMacroText();
    const richtext::HighlighterSettings settings;
    QTextDocument doc;
    for (auto _ : state) {
        doc.setPlainText(text);
        richtext::ColourCode(doc, settings);
    }
    state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadAndColourCode)->Unit(benchmark::kMillisecond);

void BM_WriteRtf(benchmark::State& state) {
    QTextDocument doc;
    doc.setPlainText(largestMacroText());
    richtext::ColourCode(doc, richtext::HighlighterSettings{});
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string rtf = richtext::DocumentToRtf(doc);
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

// The target: colouring on page 4 and saving the code file together.
void BM_ColourAndWrite(benchmark::State& state) {
    const QString text = largestMacroText();
    const richtext::HighlighterSettings settings;
    QTextDocument doc;
    for (auto _ : state) {
        doc.setPlainText(text);
        richtext::ColourCode(doc, settings);
        benchmark::DoNotOptimize(richtext::DocumentToRtf(doc));
    }
}
BENCHMARK(BM_ColourAndWrite)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state) {
    QTextDocument source;
    source.setPlainText(largestMacroText());
    richtext::ColourCode(source, richtext::HighlighterSettings{});
    const std::string rtf = richtext::DocumentToRtf(source);
    QTextDocument doc;
    for (auto _ : state) {
        richtext::ReadRtf(rtf, doc);
    }
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
