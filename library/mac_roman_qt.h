#pragma once

// Record texts are Mac Roman; Qt speaks Unicode. One conversion each way, byte by byte
// through the Mac Roman table (a character Mac Roman lacks becomes "?"), for every part of
// the program that speaks Qt (the window, the media keys). Header only: the library itself
// links no Qt.

#include <QString>
#include <string>
#include <string_view>

#include "library/mac_roman.h"

namespace harmovia {

inline QString FromMacRoman(std::string_view text) {
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* chars = out.data();
    for (size_t i = 0; i < text.size(); ++i) {
        chars[i] = QChar(static_cast<char16_t>(MacRomanToUnicode(static_cast<uint8_t>(text[i]))));
    }
    return out;
}

inline std::string ToMacRoman(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const char32_t c : text.toUcs4()) {
        out.push_back(static_cast<char>(UnicodeToMacRoman(c)));
    }
    return out;
}

}  // namespace harmovia
