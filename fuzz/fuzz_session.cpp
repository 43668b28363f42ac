// Fuzzes the session file reader and the paste's insertion into a page's text.
#include "Session.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vmg::pluginmgr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto line = input.ConsumeIntegral<int32_t>();
    const auto column = input.ConsumeIntegral<int32_t>();
    const std::string text = input.ConsumeRandomLengthString(256);
    const std::string content = input.ConsumeRemainingBytesAsString();

    // What the reader accepts, written again, reads back the same.
    if (const auto session = ParseSession(content)) {
        const auto again = ParseSession(SessionText(*session));
        if (!again || !(*again == *session)) {
            std::abort();
        }
    }

    // The paste never loses the page's own bytes: everything of the page is still there, in
    // order, around the inserted text.
    const std::string pasted = InsertAt(content, line, column, text);
    std::size_t at = 0;
    for (const char c : content) {
        at = pasted.find(c, at);
        if (at == std::string::npos) {
            std::abort();
        }
        ++at;
    }
    return 0;
}
