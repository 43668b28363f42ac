// Fuzzes the hint's rich-text preview: a definition read from any macro source text, its
// keyword block built, and the preview written; it must be ASCII and read without trouble.
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "RtfReader.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    codegen::ResetModule();
    const auto read = macsource::ReadMacroSourceText(text, codegen::Definition());
    codegen::BuildKeyBlock(read.count);
    const std::string rtf = codegen::HintToRtf();
    for (const char c : rtf) {
        if (c != '\r' && c != '\n' && (c < 0x20 || c > 0x7E)) {
            std::abort();
        }
    }
    QTextDocument preview;
    richtext::ReadRtf(rtf, preview);
    (void)codegen::HintLineToRtf(text);
    return 0;
}
