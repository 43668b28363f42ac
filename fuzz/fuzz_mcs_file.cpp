// Fuzzes the file side of the ".mcs" reader, as vmacgen and the wizard's Open... use it: any
// bytes (NULs, every line end, sizes around the limit) written to a file, read back bounded and
// parsed into a copy of the definition.
#include "MacSourceReadWrite.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vmg-fuzz-mcs-" + std::to_string(::getpid()) + ".mcs";
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // The first two bytes, when FF FE, pad the file to just around the limit.
    if (size > 1 && data[0] == 0xFF && data[1] == 0xFE) {
        bytes.resize(macsource::kMaxMacroSourceBytes - 1 + data[0] % 3, '\n');
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);

    std::string read;
    const auto opened = macsource::ReadMacroSourceBytes(path, read);
    if (bytes.size() > macsource::kMaxMacroSourceBytes) {
        if (opened.ok || opened.message.rfind("Cannot open file \"" + path + "\". ", 0) != 0) {
            std::abort();
        }
        return 0;
    }
    if (!opened.ok || read != bytes) {
        std::abort();
    }
    // Open...'s way: into a copy, which a failed parse leaves unused.
    codegen::MacroDefinition copy;
    const auto parsed = macsource::ReadMacroSourceText(read, copy);
    codegen::MacroDefinition direct;
    const auto same = macsource::ReadMacroSource(path, direct);
    if (parsed.ok != same.ok || parsed.count != same.count || parsed.count > codegen::kMaxParams ||
        (parsed.ok && !(copy == direct))) {
        std::abort();
    }
    return 0;
}
