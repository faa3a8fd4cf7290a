#include "cli/record_json.h"

#include <cstdio>

#include "analysis/mood_by_hand.h"
#include "library/mac_roman.h"
#include "library/mood.h"
#include "library/view_list.h"

namespace harmovia {
namespace {

// A JSON string of path bytes: valid UTF-8 as it is, every other byte as \u00XX.
std::string JsonPathString(std::string_view native) {
    std::string out = "\"";
    for (size_t i = 0; i < native.size();) {
        size_t length = 1;
        while (length <= 4 && i + length <= native.size() &&
               !IsValidUtf8(native.substr(i, length))) {
            ++length;
        }
        if (length <= 4 && i + length <= native.size()) {
            const std::string quoted = JsonString(native.substr(i, length));
            out.append(quoted, 1, quoted.size() - 2);
            i += length;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned char>(native[i]));
            out += escaped;
            ++i;
        }
    }
    return out + "\"";
}

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    template <class T>
    void Number(int, const char* name, FieldRole role, FieldOrder, const T& value) {
        if (Shown(name, role)) {
            Key(name);
            out_ += std::to_string(value);
        }
        // The kind's number, then its name as the list's Type column shows it.
        if (std::string_view(name) == "FileKind") {
            Key("Type");
            out_ += JsonString(FileTypeText(static_cast<uint16_t>(value)));
        }
    }
    template <class Span>
    void NumberArray(int, const char* name, FieldRole role, Span values) {
        if (!Shown(name, role)) {
            return;
        }
        Key(name);
        out_ += '[';
        for (size_t i = 0; i < values.size(); ++i) {
            out_ += (i ? "," : "") + std::to_string(values[i]);
        }
        out_ += ']';
    }
    template <int N>
    void Text(int, const char* name, const TextSlot<N>& slot) {
        Key(name);
        if (std::string_view(name) != "Location") {
            out_ += JsonString(MacRomanToUtf8(slot.view()));
            return;
        }
        // A native path: bytes that are not UTF-8 are written as the Latin-1 characters of
        // their values, and the exact bytes follow in hex, so that a script can reach the file.
        out_ += JsonPathString(slot.view());
        if (!IsValidUtf8(slot.view())) {
            Key("LocationBytes");
            out_ += '"';
            for (const char c : slot.view()) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
                out_ += hex;
            }
            out_ += '"';
        }
    }
    // Spare and reserved areas stay in the file but mean nothing to a reader of the JSON.
    void Bytes(int, const char*, FieldRole, std::span<const uint8_t>) {}
    static bool Shown(const char* name, FieldRole role) {
        return *name != '\0' && role == FieldRole::Data &&
               !std::string_view(name).starts_with("Reserved");
    }

    void Key(const char* name) {
        out_ += first_ ? "" : ",";
        first_ = false;
        out_ += '"';
        out_ += name;
        out_ += "\":";
    }

  private:
    std::string& out_;
    bool first_ = true;
};

}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string PathTextAsUtf8(std::string_view native) {
    return SanitizedUtf8(native);
}

std::string TuneRecordJson(const TuneRecord& record, int32_t slot) {
    std::string out = "{";
    JsonWriter writer(out);
    writer.Key("Slot");
    out += std::to_string(slot);
    VisitTuneFields(record, writer);
    if (IsDamagedMood(record.Mood)) {
        writer.Key("Damaged");
        out += "true";
    }
    // The mark's meaning, for the tunes that carry one only: every other line is unchanged.
    if (IsMoodSetByHand(record)) {
        writer.Key("MoodSetByHand");
        out += "true";
        writer.Key("MeasuredMood");
        out += std::to_string(MeasuredMood(record));
    }
    return out + "}";
}

}  // namespace harmovia
