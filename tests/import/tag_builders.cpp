#include "tests/import/tag_builders.h"

#include <stdexcept>

namespace harmovia::testing {
namespace {

void PutBigEndian(Bytes& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutSyncsafe(Bytes& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>((value >> (7 * i)) & 0x7F));
    }
}

Bytes Utf16Text(uint8_t encoding, std::optional<Bytes> mark, std::u16string_view text,
                bool bigEndian, bool terminated) {
    Bytes out{encoding};
    if (mark) {
        out.insert(out.end(), mark->begin(), mark->end());
    }
    for (const char16_t unit : text) {
        const auto high = static_cast<uint8_t>(unit >> 8);
        const auto low = static_cast<uint8_t>(unit & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
    if (terminated) {
        out.insert(out.end(), {0, 0});
    }
    return out;
}

}  // namespace

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Latin1Text(std::string_view text, bool terminated) {
    Bytes out = Concat({{0}, BytesOf(text)});
    if (terminated) {
        out.push_back(0);
    }
    return out;
}

Bytes Utf8Text(std::string_view text, bool terminated) {
    Bytes out = Concat({{3}, BytesOf(text)});
    if (terminated) {
        out.push_back(0);
    }
    return out;
}

Bytes Utf16LeText(std::u16string_view text, bool terminated) {
    return Utf16Text(1, Bytes{0xFF, 0xFE}, text, false, terminated);
}

Bytes Utf16BeText(std::u16string_view text, bool terminated) {
    return Utf16Text(1, Bytes{0xFE, 0xFF}, text, true, terminated);
}

Bytes Utf16BeNoMarkText(std::u16string_view text, bool terminated) {
    return Utf16Text(2, std::nullopt, text, true, terminated);
}

Bytes Id3Tag(int majorVersion, const std::vector<Id3Frame>& frames) {
    const bool v22 = majorVersion <= 2;
    Bytes body;
    for (const Id3Frame& frame : frames) {
        if (frame.id.size() != (v22 ? 3u : 4u)) {
            throw std::invalid_argument("frame id of the wrong length: " + frame.id);
        }
        body.insert(body.end(), frame.id.begin(), frame.id.end());
        const auto size = static_cast<uint32_t>(frame.payload.size());
        if (frame.sizeField) {
            body.insert(body.end(), frame.sizeField->begin(), frame.sizeField->end());
        } else if (v22) {
            PutBigEndian(body, size, 3);
        } else if (majorVersion == 3) {
            PutBigEndian(body, size, 4);
        } else {
            PutSyncsafe(body, size);
        }
        if (!v22) {
            body.insert(body.end(), {0, 0});  // flags
        }
        body.insert(body.end(), frame.payload.begin(), frame.payload.end());
    }
    Bytes tag = BytesOf("ID3");
    tag.insert(tag.end(), {static_cast<uint8_t>(majorVersion), 0, 0});
    PutSyncsafe(tag, static_cast<uint32_t>(body.size()));
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

Bytes Mp3File(const Bytes& head, size_t length) {
    Bytes file = head;
    // MPEG-1 layer III frame headers (128 kbit/s, 44.1 kHz: 417 bytes a frame), zero data.
    while (file.size() < length) {
        const size_t frameStart = file.size();
        file.insert(file.end(), {0xFF, 0xFB, 0x90, 0x64});
        file.resize(std::min(frameStart + 417, length), 0);
    }
    file.resize(length);
    return file;
}

Bytes Mp4Atom(std::string_view type, const Bytes& payload) {
    if (type.size() != 4) {
        throw std::invalid_argument("atom type of the wrong length");
    }
    Bytes out;
    PutBigEndian(out, 8 + payload.size(), 4);
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Mp4TextItem(std::string_view name, std::string_view text) {
    // Type flags 1 (UTF-8), locale 0.
    return Mp4Atom(name, Mp4Atom("data", Concat({{0, 0, 0, 1, 0, 0, 0, 0}, BytesOf(text)})));
}

Bytes Mp4GenreItem(uint16_t number) {
    return Mp4Atom("gnre",
                   Mp4Atom("data", {0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(number >> 8),
                                    static_cast<uint8_t>(number & 0xFF)}));
}

Bytes M4aFile(const std::vector<Bytes>& items, bool metadataFirst, size_t length) {
    const Bytes ftyp =
        Mp4Atom("ftyp", Concat({BytesOf("M4A "), {0, 0, 2, 0}, BytesOf("M4A mp42isom")}));
    Bytes ilst;
    for (const Bytes& item : items) {
        ilst.insert(ilst.end(), item.begin(), item.end());
    }
    const Bytes handler = Mp4Atom("hdlr", Concat({Bytes(8, 0), BytesOf("mdirappl"), Bytes(9, 0)}));
    const Bytes meta = Mp4Atom("meta", Concat({{0, 0, 0, 0}, handler, Mp4Atom("ilst", ilst)}));
    const Bytes moov =
        Mp4Atom("moov", Concat({Mp4Atom("mvhd", Bytes(100, 0)), Mp4Atom("udta", meta)}));
    const size_t fixed = ftyp.size() + moov.size() + 8;
    if (length < fixed) {
        throw std::invalid_argument("m4a length too small for its atoms");
    }
    // The media data: AAC-looking bytes that never spell an atom name.
    Bytes media(length - fixed);
    for (size_t i = 0; i < media.size(); ++i) {
        media[i] = static_cast<uint8_t>(0x21 + (i % 7));
    }
    const Bytes mdat = Mp4Atom("mdat", media);
    return metadataFirst ? Concat({ftyp, moov, mdat}) : Concat({ftyp, mdat, moov});
}

}  // namespace harmovia::testing
