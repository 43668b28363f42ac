// Fuzzes the file side of the ".mcs" reader, as vmacgen and the wizard's Open... use it: any
// bytes (NULs, every line end, sizes around the limit) put in a file, read back bounded and
// parsed into a copy of the definition.
#include "MacSourceReadWrite.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

using namespace vmg;

namespace {

// One in-memory file for the whole run, rewritten for each input and read through its path, so
// that the reader's own open, checks and bounded read are what run, never a disk.
int g_file = -1;
std::string g_path;

bool putInFile(const std::string& bytes) {
    if (::ftruncate(g_file, 0) != 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(g_file, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_file = ::memfd_create("vmg-fuzz-mcs", MFD_CLOEXEC);
    if (g_file < 0) {
        std::abort();
    }
    g_path = "/proc/self/fd/" + std::to_string(g_file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // FF FE pads the file to one byte under, at or over the limit (the third byte picks); NULs
    // end the text, so the reader sees the size while the parse stays the input's own.
    if (size > 2 && data[0] == 0xFF && data[1] == 0xFE) {
        bytes.resize(macsource::kMaxMacroSourceBytes - 1 + data[2] % 3, '\0');
    }
    if (!putInFile(bytes)) {
        std::abort();
    }

    std::string read;
    const auto opened = macsource::ReadMacroSourceBytes(g_path, read);
    if (bytes.size() > macsource::kMaxMacroSourceBytes) {
        if (opened.ok || opened.message.rfind("Cannot open file \"" + g_path + "\". ", 0) != 0) {
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
    const auto same = macsource::ReadMacroSource(g_path, direct);
    if (parsed.ok != same.ok || parsed.count != same.count || parsed.count > codegen::kMaxParams ||
        (parsed.ok && !(copy == direct))) {
        std::abort();
    }
    return 0;
}
