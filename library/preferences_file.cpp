#include "library/preferences_file.h"

#include <array>
#include <span>
#include <vector>

#include "library/number_text.h"
#include "platform/app_folders.h"

namespace harmovia {
namespace {

constexpr int kLineCount = 20;
constexpr int kValueCount = 11;

uint16_t ExchangeBytes(uint16_t v) {
    return static_cast<uint16_t>((v << 8) | (v >> 8));
}

// The eleven values in file order, as raw 16-bit patterns.
std::array<uint16_t, kValueCount> ToWords(const Preferences& p) {
    return {static_cast<uint16_t>(p.WindowHeight),
            static_cast<uint16_t>(p.WindowWidth),
            static_cast<uint16_t>(p.WindowLeft),
            static_cast<uint16_t>(p.WindowTop),
            static_cast<uint16_t>(p.Volume),
            p.PanelOn,
            static_cast<uint16_t>(p.PanelLeft),
            static_cast<uint16_t>(p.PanelTop),
            p.SelectedGenreItem,
            p.SelectedMood,
            p.SparePreference};
}

Preferences FromWords(const std::array<uint16_t, kValueCount>& w) {
    Preferences p;
    p.WindowHeight = static_cast<int16_t>(w[0]);
    p.WindowWidth = static_cast<int16_t>(w[1]);
    p.WindowLeft = static_cast<int16_t>(w[2]);
    p.WindowTop = static_cast<int16_t>(w[3]);
    p.Volume = static_cast<int16_t>(w[4]);
    p.PanelOn = w[5];
    p.PanelLeft = static_cast<int16_t>(w[6]);
    p.PanelTop = static_cast<int16_t>(w[7]);
    p.SelectedGenreItem = w[8];
    p.SelectedMood = w[9];
    p.SparePreference = w[10];
    return p;
}

// A line's number as a 16-bit pattern: optional blanks, an optional sign, digits, optional
// blanks. Anything else reads 0. Larger numbers keep their low 16 bits.
uint16_t ParseLine(std::string_view line) {
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
    };
    skipBlanks();
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) {
        negative = line[i] == '-';
        ++i;
    }
    const size_t firstDigit = i;
    uint16_t value = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        value = static_cast<uint16_t>(value * 10 + (line[i] - '0'));
        ++i;
    }
    const bool hasDigits = i > firstDigit;
    skipBlanks();
    if (!hasDigits || i != line.size()) {
        return 0;
    }
    return negative ? static_cast<uint16_t>(-value) : value;
}

}  // namespace

Preferences DefaultPreferences(int displayWidth, int displayHeight) {
    Preferences p;
    p.WindowWidth = static_cast<int16_t>(displayWidth - 200);
    p.WindowHeight = static_cast<int16_t>(displayHeight - 200);
    return p;
}

std::string EncodePreferences(const Preferences& preferences) {
    const auto words = ToWords(preferences);
    std::string text;
    const auto writeLine = [&](uint16_t word) {
        text += NumberText(static_cast<int16_t>(ExchangeBytes(word))).view();
        text += '\r';
    };
    for (uint16_t word : words) {
        writeLine(word);
    }
    for (int line = kValueCount + 1; line <= kLineCount; ++line) {
        writeLine(preferences.PanelOn);
    }
    return text;
}

Preferences DecodePreferences(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    // Reading past the end yields empty lines, which read 0.
    const auto lineValue = [&](int line) {
        const auto index = static_cast<size_t>(line - 1);
        return ExchangeBytes(index < lines.size() ? ParseLine(lines[index]) : 0);
    };
    std::array<uint16_t, kValueCount> words{};
    for (int line = 1; line <= kValueCount; ++line) {
        words[static_cast<size_t>(line - 1)] = lineValue(line);
    }
    for (int line = kValueCount + 1; line <= kLineCount; ++line) {
        words[5] = lineValue(line);  // PanelOn: the last copy decides
    }
    return FromWords(words);
}

OsError LoadPreferences(Preferences& preferences, FileSystem& files,
                        const std::filesystem::path& folder) {
    const auto file = folder / kPreferencesFileName;
    if (files.Kind(file) == EntryKind::Missing) {
        return kNoErr;
    }
    constexpr uint64_t kLongestSensibleFile = 64 * 1024;
    const FileContents contents = files.ReadFile(file, kLongestSensibleFile);
    if (contents.error != kNoErr) {
        return contents.error;
    }
    const std::string_view text(reinterpret_cast<const char*>(contents.bytes.data()),
                                contents.bytes.size());
    preferences = DecodePreferences(text);
    return kNoErr;
}

OsError SavePreferences(const Preferences& preferences, FileSystem& files,
                        const std::filesystem::path& folder) {
    if (OsError error = files.CreateFolders(folder); error != kNoErr) {
        return error;
    }
    const std::string text = EncodePreferences(preferences);
    return files.WriteFileAtomically(
        folder / kPreferencesFileName,
        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace harmovia
