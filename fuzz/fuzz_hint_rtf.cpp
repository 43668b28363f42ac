// Fuzzes the hint's rich-text preview: a definition read from any macro source text, its
// keyword block built, and the preview written and read back.
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    codegen::ResetModule();
    const auto read = macsource::ReadMacroSourceText(text, codegen::Definition());
    codegen::BuildKeyBlock(read.count);
    const std::string rtf = codegen::HintToRtf();
    // The preview holds the name's own 8-bit bytes (the box reads them as code page 1252); it
    // must read without trouble whatever they are.
    QTextDocument preview;
    richtext::ReadRtf(rtf, preview);
    (void)codegen::HintLineToRtf(text);
    return 0;
}
