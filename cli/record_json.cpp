#include "cli/record_json.h"

#include <cstdio>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    template <class T>
    void Number(int, const char* name, FieldRole, FieldOrder, const T& value) {
        if (*name != '\0') {
            Key(name);
            out_ += std::to_string(value);
        }
    }
    template <class Span>
    void NumberArray(int, const char* name, FieldRole, Span values) {
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
        const bool nativePath = std::string_view(name) == "Location";
        out_ += JsonString(nativePath ? PathTextAsUtf8(slot.view()) : MacRomanToUtf8(slot.view()));
    }
    void Bytes(int, const char*, FieldRole, std::span<const uint8_t>) {}

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
    return out + "}";
}

}  // namespace harmovia
