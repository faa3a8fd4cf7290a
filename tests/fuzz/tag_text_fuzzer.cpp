// TagTextToMacRoman over any bytes: never longer than its input or a PStr, and text without
// any byte the conversion looks at passes unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "import/tag_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const harmovia::PStr converted = harmovia::TagTextToMacRoman(text);
    const size_t limit = std::min<size_t>(size, harmovia::PStr::kCapacity);
    if (static_cast<size_t>(converted.size()) > limit) {
        std::fprintf(stderr, "conversion grew the text\n");
        std::abort();
    }
    // Bytes that start a replaced pair or are replaced themselves.
    constexpr std::string_view kLooked = "\xE8\xE9\xF1\x80\xC2\xC3\xC5\xC8";
    if (text.find_first_of(kLooked) == std::string_view::npos &&
        converted.view() != text.substr(0, limit)) {
        std::fprintf(stderr, "text without special bytes changed\n");
        std::abort();
    }
    return 0;
}
