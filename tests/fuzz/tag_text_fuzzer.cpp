// The tag text decoders and both Mac Roman conversions over any bytes: never longer than
// their input or a PStr, one stored byte per character, and ASCII passes unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "import/tag_text.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace harmovia;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t limit = std::min<size_t>(size, PStr::kCapacity);
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });

    for (const std::u32string& decoded : {DecodeLatin1OrUtf8(text), DecodeUtf8OrLatin1(text)}) {
        Check(decoded.size() <= size, "decoding grew the text");
        const PStr converted = TagTextToMacRoman(decoded);
        Check(static_cast<size_t>(converted.size()) == std::min<size_t>(decoded.size(), 255),
              "not one byte per character");
        Check(!ascii || converted.view() == text.substr(0, limit), "ASCII changed");
    }
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    }
    Check(DecodeUtf16(units).size() <= units.size(), "UTF-16 decoding grew the text");

    const PStr legacy = LegacyTagTextToMacRoman(text);
    Check(static_cast<size_t>(legacy.size()) <= limit, "the old conversion grew the text");
    // Bytes that start a replaced pair or are replaced themselves.
    constexpr std::string_view kLooked = "\xE8\xE9\xF1\x80\xC2\xC3\xC5\xC8";
    Check(text.find_first_of(kLooked) != std::string_view::npos ||
              legacy.view() == text.substr(0, limit),
          "text without special bytes changed");
    return 0;
}
