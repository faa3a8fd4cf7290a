#include "tests/import/tag_builders.h"

#include <stdexcept>

namespace harmovia::testing {
namespace {

// `bytes` bytes of `value`, high first, `bits` bits a byte (7: syncsafe).
void Put(Bytes& out, uint64_t value, int bytes, int bits = 8) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>((value >> (bits * i)) & ((1u << bits) - 1)));
    }
}

// The encoding byte, the mark, the text, then its terminator.
Bytes Text(uint8_t encoding, Bytes mark, const Bytes& text, size_t terminator) {
    Bytes out = Concat({{encoding}, mark, text});
    out.resize(out.size() + terminator, 0);
    return out;
}

Bytes Utf16(std::u16string_view text, bool bigEndian) {
    Bytes out;
    for (const char16_t unit : text) {
        const uint8_t high = static_cast<uint8_t>(unit >> 8), low = static_cast<uint8_t>(unit);
        out.insert(out.end(), {bigEndian ? high : low, bigEndian ? low : high});
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
    return Text(0, {}, BytesOf(text), terminated ? 1 : 0);
}
Bytes Utf8Text(std::string_view text, bool terminated) {
    return Text(3, {}, BytesOf(text), terminated ? 1 : 0);
}
Bytes Utf16LeText(std::u16string_view text, bool terminated) {
    return Text(1, {0xFF, 0xFE}, Utf16(text, false), terminated ? 2 : 0);
}
Bytes Utf16BeText(std::u16string_view text, bool terminated) {
    return Text(1, {0xFE, 0xFF}, Utf16(text, true), terminated ? 2 : 0);
}
Bytes Utf16BeNoMarkText(std::u16string_view text, bool terminated) {
    return Text(2, {}, Utf16(text, true), terminated ? 2 : 0);
}

Bytes Id3Tag(int majorVersion, const std::vector<Id3Frame>& frames) {
    const bool v22 = majorVersion <= 2;
    Bytes body;
    for (const Id3Frame& frame : frames) {
        body.insert(body.end(), frame.id.begin(), frame.id.end());
        if (frame.sizeField) {
            body.insert(body.end(), frame.sizeField->begin(), frame.sizeField->end());
        } else {
            Put(body, frame.payload.size(), v22 ? 3 : 4, majorVersion >= 4 ? 7 : 8);
        }
        body.resize(body.size() + (v22 ? 0 : 2), 0);  // flags
        body.insert(body.end(), frame.payload.begin(), frame.payload.end());
    }
    Bytes tag = Concat({BytesOf("ID3"), {static_cast<uint8_t>(majorVersion), 0, 0}});
    Put(tag, body.size(), 4, 7);
    return Concat({tag, body});
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
    Bytes size;
    Put(size, 8 + payload.size(), 4);
    return Concat({size, BytesOf(type), payload});
}

Bytes Mp4TextItem(std::string_view name, std::string_view text) {
    // Type flags 1 (UTF-8), locale 0.
    return Mp4Atom(name, Mp4Atom("data", Concat({{0, 0, 0, 1, 0, 0, 0, 0}, BytesOf(text)})));
}

Bytes Mp4GenreItem(uint16_t number) {
    Bytes data(8, 0);
    Put(data, number, 2);
    return Mp4Atom("gnre", Mp4Atom("data", data));
}

Bytes Mp4MovieAtom(const std::vector<Bytes>& items) {
    Bytes ilst;
    for (const Bytes& item : items) {
        ilst = Concat({ilst, item});
    }
    const Bytes handler = Mp4Atom("hdlr", Concat({Bytes(8, 0), BytesOf("mdirappl"), Bytes(9, 0)}));
    const Bytes meta = Mp4Atom("meta", Concat({{0, 0, 0, 0}, handler, Mp4Atom("ilst", ilst)}));
    return Mp4Atom("moov", Concat({Mp4Atom("mvhd", Bytes(100, 0)), Mp4Atom("udta", meta)}));
}

Bytes M4aFile(const std::vector<Bytes>& items, bool metadataFirst, size_t length) {
    const Bytes ftyp =
        Mp4Atom("ftyp", Concat({BytesOf("M4A "), {0, 0, 2, 0}, BytesOf("M4A mp42isom")}));
    const Bytes moov = Mp4MovieAtom(items);
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
