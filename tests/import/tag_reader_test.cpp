// The MP3 and M4A tag readers over tags built byte by byte, and the text conversion they use.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "import/mp3_tag_reader.h"
#include "import/mp4_tag_reader.h"
#include "import/tag_text.h"
#include "tests/import/tag_builders.h"
#include "tests/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using namespace harmovia::testing;
using OptBytes = std::optional<Bytes>;
using ReadTags = int32_t (*)(Library&, const fs::path&, TagRefusal&);

// A folder for the test files and a library for a tag reader to fill.
struct Reader {
    explicit Reader(ReadTags readTags = ReadMp3TagsWithReason) : read(readTags) {}

    ReadTags read;
    TempFolder folder;
    std::unique_ptr<Library> library = std::make_unique<Library>();
    TagRefusal why = TagRefusal::None;

    fs::path Write(const std::string& name, const Bytes& bytes) {
        WriteBytes(folder / name, bytes);
        return folder / name;
    }
    int32_t Read(const fs::path& file) { return read(*library, file, why); }
    // The code, the reason and the slot in hand after reading `file`.
    std::tuple<int32_t, TagRefusal, int32_t> Outcome(const fs::path& file) {
        const int32_t code = Read(file);
        return {code, why, library->CurrentTuneIndex};
    }
    const TuneRecord& Last() const { return (*library)[library->CurrentTuneIndex]; }
    // Artist, title, album and genre of the last slot, joined by '|'.
    std::string Texts() const {
        const TuneRecord& r = Last();
        return std::string(r.Artist.view()) + "|" + std::string(r.Title.view()) + "|" +
               std::string(r.Album.view()) + "|" + std::string(r.Genre.view());
    }
};

// An MP3 file whose tag holds artist, title, album and genre frames; a missing payload leaves
// the frame out.
Bytes Mp3Tagged(int version, const std::vector<OptBytes>& texts, size_t length = 60000) {
    const char* ids[2][4] = {{"TP1", "TT2", "TAL", "TCO"}, {"TPE1", "TIT2", "TALB", "TCON"}};
    std::vector<Id3Frame> frames;
    for (size_t k = 0; k < texts.size(); ++k) {
        if (texts[k]) {
            frames.push_back({ids[version > 2][k], *texts[k]});
        }
    }
    return Mp3File(Id3Tag(version, frames), length);
}

// 254 two-byte characters.
const std::string kE254 = [] {
    std::string text;
    for (int i = 0; i < 254; ++i) {
        text += "\xC3\xA9";
    }
    return text;
}();

const std::string kTitle = "\251nam", kAlbum = "\251alb", kArtist = "\251ART", kGenre = "\251gen";
const Bytes kAlb = Mp4TextItem(kAlbum, "Kind of Blue"), kArt = Mp4TextItem(kArtist, "Miles Davis");

// Title, album and artist items, then `more`.
std::vector<Bytes> Mp4Items(const std::string& title, const std::vector<Bytes>& more = {}) {
    std::vector<Bytes> items = {Mp4TextItem(kTitle, title), kAlb, kArt};
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

TEST(Mp3TagReader, UnknownsAndFallbacks) {
    const auto L = [](const std::string& s) { return OptBytes(Latin1Text(s)); };
    const std::optional<Bytes> no;
    const std::string g80(80, 'g'), g63(63, 'g');
    const struct {
        const char* what;
        int version;
        std::vector<OptBytes> texts;  // artist, title, album, genre
        std::string fileName, expected;
        TagRefusal why = TagRefusal::None;
    } cases[] = {
        {"nothing found", 3, {}, "Live at Home.mp3", "Unknown|Live at Home|Unknown|Unknown"},
        {"blanks, 2.3", 3, {L(" "), L(" "), L(" "), L(" ")}, "a.mp3", " |a|Unknown|Unknown"},
        {"blanks, 2.2", 2, {L(" "), L(""), L(""), L("")}, "a.mp3", "Unknown|a|Unknown|Unknown"},
        {"empty artist kept, 2.4", 4, {L(""), L("T")}, "a.mp3", "|T|Unknown|Unknown"},
        {"name without extension", 3, {}, "Song Title", "Unknown|Song T|Unknown|Unknown"},
        {"short name", 3, {}, "abcd", "Unknown||Unknown|Unknown"},
        {"UTF-8 name", 3, {}, "Caf\xC3\xA9.mp3", "Unknown|Caf\x8E|Unknown|Unknown"},
        {"title Unknown", 3, {no, L("Unknown")}, "Naima.mp3", "Unknown|Naima|Unknown|Unknown"},
        {"genre number kept", 3, {no, L("T"), no, L("(17)")}, "a.mp3", "Unknown|T|Unknown|(17)"},
        {"long genre cut", 3, {no, L("T"), no, L(g80)}, "a.mp3", "Unknown|T|Unknown|" + g63},
        {"2.2 podcast", 2, {no, L("T"), no, L("Podcast")}, "a.mp3", "Unknown|T|Unknown|Podcast"},
        {"podcast", 3, {no, L("T"), no, L("Podcast")}, "a.mp3", "", TagRefusal::Podcast},
        {"pODCAST", 3, {no, L("T"), no, L("pODCAST")}, "a.mp3", "", TagRefusal::Podcast},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        const bool kept = c.why == TagRefusal::None;
        EXPECT_EQ(r.Outcome(r.Write(c.fileName, Mp3Tagged(c.version, c.texts))),
                  std::tuple(kept ? TagReadOk : TagReadRejected, c.why, kept ? 1 : 0));
        if (kept) {
            EXPECT_EQ(r.Texts(), c.expected);
        }
    }
}

// The title read from tags built around it; a file without one is titled by its name.
TEST(Mp3TagReader, HowTheTitleReadsWhereItIsFoundAndWhereItEnds) {
    // UTF-8 but for one Latin-1 byte: the frame's encoding decides how it reads.
    const std::string mixed = "Caf\xC3\xA9 \xE9";
    const auto title = [](int version, const Bytes& payload, std::optional<Bytes> size = {}) {
        return Id3Tag(version, {{version > 2 ? "TIT2" : "TT2", payload, size}});
    };
    const auto x = [](char c, size_t n) { return Latin1Text(std::string(n, c), false); };
    const Id3Frame apic{"APIC", Bytes(25000, 0x11)}, tit2{"TIT2", Latin1Text("Giant Steps")};
    // A comment whose text spells a whole title frame.
    const Id3Frame comment{"COMM", BytesOf(std::string_view("xxTIT2\0\0\0\x05\0\0\0Mr P", 17))};
    const Bytes plain = Id3Tag(3, {tit2});
    // "TIT2" at `at` in the 20,000-byte buffer, then `behind`.
    const auto atEdge = [](size_t at, const Bytes& behind) {
        Bytes head = Id3Tag(3, {});
        head.resize(at, 0);
        return Concat({head, BytesOf("TIT2"), behind});
    };
    const struct {
        const char* what;
        Bytes head;
        std::string expected;
    } cases[] = {
        {"Latin-1 without terminator", title(3, Latin1Text("Locomotion", false)), "Locomotion"},
        {"Latin-1 frame, not all UTF-8", title(3, Latin1Text(mixed)), "Caf\xCC\xA9 \x8E"},
        {"UTF-8 frame: a stray byte is Latin-1", title(4, Utf8Text(mixed)), "Caf\x8E \x8E"},
        {"254 two-byte characters", title(4, Utf8Text(kE254)), std::string(254, '\x8E')},
        {"UTF-16 with mark and terminator", title(3, Utf16LeText(u"Señor")), "Se\x96or"},
        {"UTF-16 with mark, no terminator", title(3, Utf16LeText(u"Señor", false)), "Se\x96or"},
        {"big-endian UTF-16 with mark", title(3, Utf16BeText(u"Lazy Bird")), "Lazy Bird"},
        {"2.4 UTF-16 without mark", title(4, Utf16BeNoMarkText(u"Lazy Bird")), "Lazy Bird"},
        {"2.2 UTF-16 with terminator", title(2, Utf16LeText(u"Lazy Bird")), "Lazy Bird"},
        {"2.2 UTF-16 unterminated loses a letter", title(2, Utf16LeText(u"Naima", false)), "Naim"},
        // The whole size field counts; the zero byte, 254 characters and the buffer's end stop.
        {"short size", title(3, Latin1Text("Blue Train"), Bytes{0, 0, 0, 5}), "Blue"},
        {"2.3 frame of 301 bytes", title(3, x('x', 300)), std::string(254, 'x')},
        {"2.2 frame of 260 bytes", title(2, x('y', 259)), std::string(254, 'y')},
        {"2.4 syncsafe size 200", title(4, x('z', 199)), std::string(199, 'z')},
        {"2.4 plain size 200", title(4, x('z', 199), Bytes{0, 0, 0, 0xC8}), std::string(199, 'z')},
        {"huge size", title(3, Latin1Text("Naima"), Bytes(4, 0xFF)), "Naima"},
        {"a frame of one byte holds no text", title(3, Bytes{0}), "Untitled"},
        {"UTF-16 too short for a character", title(3, Bytes{1, 0xFF, 0xFE, 'a'}), "Untitled"},
        {"size 256 is not size 0", title(3, x('w', 255)), std::string(254, 'w')},
        // Searched, not parsed: the first occurrence anywhere in the first 20,000 bytes.
        {"frames behind a big picture are lost", Id3Tag(3, {apic, tit2}), "Untitled"},
        {"frames before it are read", Id3Tag(3, {tit2, apic}), "Giant Steps"},
        {"an id inside an earlier frame wins", Id3Tag(3, {comment, tit2}), "Mr P"},
        {"marker bytes 0 and 1 are not checked",
         Concat({BytesOf("XY"), Bytes(plain.begin() + 2, plain.end())}), "Giant Steps"},
        {"version 5 reads four-letter ids", Id3Tag(5, {tit2}), "Giant Steps"},
        {"version 1 reads three-letter ids", title(1, Latin1Text("Syeeda")), "Syeeda"},
        // A frame at the very end of the buffer.
        {"id ends the buffer", atEdge(19996, {}), "Untitled"},
        {"size field cut", atEdge(19994, {0, 0}), "Untitled"},
        {"encoding byte cut", atEdge(19990, {0, 0, 0, 9, 0, 0}), "Untitled"},
        {"no room for text", atEdge(19989, {0, 0, 0, 9, 0, 0, 0}), "Untitled"},
        {"text cut", atEdge(19986, {0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'}),
         "abc"},
        {"UTF-16 mark cut", atEdge(19988, {0, 0, 0, 9, 0, 0, 1, 0xFF}), "Untitled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        ASSERT_EQ(r.Read(r.Write("Untitled.mp3", Mp3File(c.head, 80000))), TagReadOk);
        EXPECT_EQ(r.Last().Title.view(), c.expected);
    }
}

// The texts and genre taken from the first quarter of the file, or else from the movie atom
// found by walking the top-level atoms.
TEST(Mp4TagReader, TextsGenresAndWhereTheyAre) {
    const std::string t254(254, 't'), cafe = "Caf\xC3\xA9", e200 = kE254.substr(0, 400);
    // 100,012 bytes: the search buffer for their first quarter (25,003 bytes) fills its heap
    // block so nearly that a buffer a few bytes short overruns it, even without a sanitizer.
    const auto front = [](const std::vector<Bytes>& items) { return M4aFile(items, true, 100012); };
    const auto so = [&](const Bytes& item) { return front(Mp4Items("So What", {item})); };
    const Bytes ftyp = Mp4Atom("ftyp", BytesOf("M4A mp42isom"));
    const Bytes moov = Mp4MovieAtom(Mp4Items("So What")), noTitle = Mp4MovieAtom({kAlb, kArt});
    const auto sized = [](uint32_t size, std::string_view type) {
        return Concat({{static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                        static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)},
                       BytesOf(type)});
    };
    const Bytes media = Mp4Atom("mdat", Bytes(300000, 0x21)), zeros(300000);
    // A 64-bit sized media atom: size field 1, the type, then the size in eight bytes.
    const auto mdat64 = [&](uint32_t n) {
        return Concat({sized(1, "mdat"), sized(0, ""), sized(n + 16, ""), Bytes(n, 0x22)});
    };
    // A movie atom of 16 MB and one byte, stored sparsely.
    const uint32_t huge = (16u << 20) + 1;
    // An 8 MiB file (a quarter of two 1 MiB slices) with the title atom's name at `at`.
    constexpr size_t kLength = 8u << 20, kQuarter = kLength / 4, kSlice = 1u << 20;
    const auto edge = [](size_t at, const Bytes& behind) {
        Bytes bytes = Concat({kAlb, kArt, Mp4GenreItem(18)});
        bytes.resize(kLength);
        const Bytes title = Concat({BytesOf(kTitle), behind});
        std::copy_n(title.begin(), std::min(title.size(), kLength - at),
                    bytes.begin() + static_cast<long>(at));
        return bytes;
    };
    const Bytes bop = Mp4TextItem(kTitle, "Boplicity");
    using enum TagRefusal;
    const struct {
        const char* what;
        Bytes file;
        std::string title, genre;
        TagRefusal why = None;
    } cases[] = {
        {"no genre atom", front(Mp4Items("So What")), "So What", "Unknown"},
        // The iTunes genre numbers (ID3v1 numbers plus one) known, and some that are not.
        {"gnre 1", so(Mp4GenreItem(1)), "So What", "Blues"},
        {"gnre 18", so(Mp4GenreItem(18)), "So What", "Rock"},
        {"gnre 53", so(Mp4GenreItem(53)), "So What", "Electronic"},
        {"gnre 99", so(Mp4GenreItem(99)), "So What", "Easy Listening"},
        {"gnre 0", so(Mp4GenreItem(0)), "So What", "Unknown"},
        {"gnre 2", so(Mp4GenreItem(2)), "So What", "Unknown"},
        {"gnre 100", so(Mp4GenreItem(100)), "So What", "Unknown"},
        {"gnre 274 counts its low byte", so(Mp4GenreItem(274)), "So What", "Rock"},
        {"gnre wins over genre text",
         front(Mp4Items("So What", {Mp4TextItem(kGenre, "Modal Jazz"), Mp4GenreItem(9)})),
         "So What", "Jazz"},
        {"genre text", front(Mp4Items(cafe, {Mp4TextItem(kGenre, cafe)})), "Caf\x8E", "Caf\x8E"},
        {"invalid UTF-8 is Latin-1", front(Mp4Items("Caf\xE9 \xE2\x80\x99")), "Caf\x8E \xD5",
         "Unknown"},
        {"200 two-byte characters", front(Mp4Items(e200)), std::string(200, '\x8E'), "Unknown"},
        {"genre text cut", so(Mp4TextItem(kGenre, std::string(80, 'g'))), "So What",
         std::string(63, 'g')},
        {"empty genre text", so(Mp4TextItem(kGenre, "")), "So What", "Unknown"},
        {"genre atom that is no data atom", so(Mp4Atom(kGenre, Mp4Atom("dat\x12", Bytes(8)))),
         "So What", "Rock"},
        {"title of 254", front(Mp4Items(t254)), t254, "Unknown"},
        {"title of 255", front(Mp4Items(t254 + "t")), "Unknown", "Unknown"},
        {"empty title is still taken", front(Mp4Items("")), "Unknown", "Unknown"},
        {"no album", front({Mp4TextItem(kTitle, "So What"), kArt}), "", "", NotTagged},
        {"no artist", front({Mp4TextItem(kTitle, "So What"), kAlb}), "", "", NotTagged},
        // Behind the audio.
        {"after the media", Concat({ftyp, media, moov}), "So What", "Unknown"},
        {"after a 64-bit media atom", Concat({ftyp, mdat64(300000), moov}), "So What", "Unknown"},
        {"after a last atom without a size", Concat({ftyp, moov, sized(0, "mdat"), zeros}),
         "So What", "Unknown"},
        {"no title in it", Concat({ftyp, media, noTitle}), "", "", NotTagged},
        {"no movie atom", Concat({ftyp, media}), "", "", NotTagged},
        {"a size past the end", Concat({ftyp, sized(400000, "mdat"), zeros}), "", "", Damaged},
        {"a size below its header", Concat({ftyp, sized(4, "free"), zeros}), "", "", Damaged},
        {"moov over 16 MB", Concat({ftyp, media, sized(huge, "moov"), Bytes(huge - 8)}), "", "",
         Damaged},
        // Near the end of a slice or of the quarter.
        {"name across the slices' seam", edge(kSlice - 2, Bytes(bop.begin() + 8, bop.end())),
         "Boplicity", "Rock"},
        {"text cut by the quarter's end",
         edge(kQuarter - 4 - 20, Concat({Bytes(16, 1), BytesOf("Jeru and more")})), "Jeru", "Rock"},
        {"name cut by the quarter's end", edge(kQuarter - 3, {}), "", "", NotTagged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r{ReadMp4TagsWithReason};
        r.why = TagRefusal::Duplicate;
        const bool kept = c.why == TagRefusal::None;
        EXPECT_EQ(r.Outcome(r.Write("tune.m4a", c.file)),
                  std::tuple(kept ? TagReadOk : int32_t{Mp4TagNotTaken}, c.why, kept ? 1 : 0));
        if (kept) {
            EXPECT_EQ(r.Texts(), "Miles Davis|" + c.title + "|Kind of Blue|" + c.genre);
        }
    }
}

struct ReaderKind {
    const char* ext;
    ReadTags read;
    uint64_t minimum;  // the shortest file taken
    FileKindCode kind;
    int32_t unreadable, rejected;  // the codes for a file not read and for a tag not taken
    Bytes (*tagged)(const std::string& title, const std::string& album, size_t length);
    Bytes untagged;
    // "\u03A9mega" on "Don\u2019t" by Ayler, and its title as earlier versions stored it.
    Bytes omega;
    const char* oldOmega;
};

const std::string kDont = "Don\xE2\x80\x99t";

const ReaderKind kReaders[] = {
    {".mp3", ReadMp3TagsWithReason, kMp3MinimumLength, kFileKindMp3, TagReadUnreadable,
     TagReadRejected,
     [](const std::string& title, const std::string& album, size_t length) {
         return Mp3Tagged(4, {Latin1Text("Ayler"), Latin1Text(title), Latin1Text(album)}, length);
     },
     Mp3File({}), Mp3Tagged(3, {Latin1Text("Ayler"), Utf16LeText(u"Ωmega"), Latin1Text(kDont)}),
     "\xA9mega"},  // the low bytes of UTF-16 text
    {".m4a", ReadMp4TagsWithReason, kMp4MinimumLength, kFileKindMp4, Mp4TagNotTaken, Mp4TagNotTaken,
     [](const std::string& title, const std::string& album, size_t length) {
         return M4aFile({Mp4TextItem(kTitle, title), Mp4TextItem(kAlbum, album),
                         Mp4TextItem(kArtist, "Ayler")},
                        false, length);
     },
     M4aFile({kAlb, kArt}, true),
     M4aFile({Mp4TextItem(kTitle, "\xCE\xA9mega"), Mp4TextItem(kAlbum, kDont),
              Mp4TextItem(kArtist, "Ayler")},
             true),
     "\xCE\xA9mega"},
};

// What each reader refuses, what it writes into the slot it keeps, and duplicates.
TEST(TagReaders, RefusalsTheSlotAndDuplicates) {
    using enum TagRefusal;
    const bool rootReadsAnything = ::geteuid() == 0;
    for (const ReaderKind& reader : kReaders) {
        SCOPED_TRACE(reader.ext);
        Reader r{reader.read};
        const auto name = [&](const char* stem) { return stem + std::string(reader.ext); };
        const auto tagged = [&](const char* title, size_t length = 200000) {
            return reader.tagged(title, "Bells", length);
        };
        ASSERT_EQ(::mkfifo((r.folder / name("fifo")).c_str(), 0644), 0);
        const fs::path locked = r.Write(name("locked"), tagged("Ghosts"));
        ::chmod(locked.c_str(), 0);
        const struct {
            const char* what;
            fs::path file;
            TagRefusal why;
        } cases[] = {
            {"a byte shorter", r.Write(name("small"), tagged("Ghosts", reader.minimum - 1)),
             TooSmall},
            {"empty file", r.Write(name("empty"), {}), TooSmall},
            {"hidden name", r.Write(name(".hidden"), tagged("Ghosts")), HiddenName},
            {"vanished", r.folder / name("gone"), Unreadable},
            {"a FIFO", r.folder / name("fifo"), Unreadable},
            {"no permission", locked, rootReadsAnything ? None : PermissionDenied},
            {"no tags", r.Write(name("raw"), reader.untagged), NotTagged},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            r.library->CurrentTuneIndex = r.library->TuneCount = 0;
            r.why = Duplicate;
            const int32_t code = c.why == None        ? TagReadOk
                                 : c.why == NotTagged ? reader.rejected
                                                      : reader.unreadable;
            EXPECT_EQ(r.Outcome(c.file), std::tuple(code, c.why, c.why == None ? 1 : 0));
        }

        r.library->CurrentTuneIndex = r.library->TuneCount = 0;
        const fs::path shortest = r.Write(name("min"), tagged("Ghosts", reader.minimum));
        ASSERT_EQ(r.Read(shortest), TagReadOk);
        const TuneRecord& record = r.Last();
        EXPECT_EQ(std::tuple(record.FileName.view(), record.FileSize, record.FileKind),
                  std::tuple(name("min"), reader.minimum, reader.kind));

        // Any earlier slot counts, committed or still under construction.
        const auto duplicate = std::tuple(reader.rejected, Duplicate, 1);
        EXPECT_EQ(r.Outcome(shortest), duplicate) << "same as a slot under construction";
        CommitTunes(*r.library);
        EXPECT_EQ(r.Outcome(r.Write(name("again"), tagged("Ghosts"))), duplicate);
        EXPECT_EQ(r.Outcome(r.Write(name("case"), tagged("GHOSTS"))),
                  std::tuple(TagReadOk, None, 2));
        EXPECT_EQ(r.Outcome(r.Write(name("album"), reader.tagged("Ghosts", "Vibrations", 200000))),
                  std::tuple(TagReadOk, None, 3));

        r.library->CurrentTuneIndex = r.library->TuneCount = kMaxTunes;
        EXPECT_EQ(r.Outcome(r.folder / name("again")),
                  std::tuple(reader.unreadable, LibraryFull, kMaxTunes));

        // A library saved by earlier versions holds their conversion of the same tags; adding
        // the file again must still find the tune.
        const struct {
            std::string title, album;
            bool duplicate;
        } stored[] = {{reader.oldOmega, kDont, true},
                      {"\xBDmega", "Don\xD5t", true},
                      {reader.oldOmega, "Don\xD5t", false}};
        for (const auto& old : stored) {
            SCOPED_TRACE(old.title + " " + old.album);
            r.library->TuneCount = r.library->CurrentTuneIndex = 1;
            (*r.library)[1].Artist.Set("Ayler");
            (*r.library)[1].Title.Set(old.title);
            (*r.library)[1].Album.Set(old.album);
            r.Read(r.Write(name("omega"), reader.omega));
            EXPECT_EQ(r.why, old.duplicate ? Duplicate : None);
        }
    }
}

// Tag text, decoded as its frame declares, to the Mac Roman bytes stored; and what libraries
// saved by earlier versions hold, which the duplicate test needs byte-exact.
TEST(TagTextToMacRoman, DecodedAndLegacyTextAsStored) {
    const auto tag = [](const std::u32string& text) { return TagTextToMacRoman(text).str(); };
    const auto legacy = [](std::string_view text) { return LegacyTagTextToMacRoman(text).str(); };
    const struct {
        const char* what;
        std::string out, expected;
    } cases[] = {
        {"UTF-8 in a Latin-1 frame", tag(DecodeLatin1OrUtf8("\xC3\x9Cmit L\xC3\xA4rm")),
         "\x86mit L\x8Arm"},
        {"UTF-8 quote and ordinal", tag(DecodeUtf8OrLatin1("Don\xE2\x80\x99t No\xC2\xBA")),
         "Don\xD5t No\xBC"},
        {"Latin-1 letters", tag(DecodeLatin1OrUtf8("\xDCmit \xC9t\xE9")), "\x86mit \x83t\x8E"},
        {"Latin-1 that is not valid UTF-8 stays Latin-1", tag(DecodeLatin1OrUtf8("Caf\xE9 \xC3")),
         "Caf\x8E \xCC"},
        {"a UTF-8 sequence cut at the end", tag(DecodeUtf8OrLatin1("abc\xC3")), "abc\xCC"},
        {"no Mac Roman letters", tag(DecodeUtf8OrLatin1("\xE6\x97\xA5 \xF0\x9F\x8E\xB5")), "? ?"},
        {"kept stand-ins", tag(DecodeUtf8OrLatin1("\xC8\xA8\xC5\x99\xC2\xB4")), "Er'"},
        {"C1 controls have no Mac Roman byte", tag(DecodeLatin1OrUtf8("\x80\x80")), "??"},
        {"UTF-16 pair and lone surrogates",
         tag(DecodeUtf16(std::u16string{0xD83C, 0xDFB5, u'a', 0xD800, u'b', 0xDC00})), "?a?b?"},
        {"cut to 255", tag(std::u32string(300, U'a')), std::string(255, 'a')},
        {"legacy Latin-1 e acute, n tilde, e grave", legacy("\xE9\xF1\xE8"), "\x8E\x96\x8F"},
        {"legacy Latin-1 E acute passes", legacy("\xC9t\xC9"), "\xC9t\xC9"},
        {"legacy UTF-8 e acute", legacy("Beyonc\xC3\xA9"), "Beyonc\x8E"},
        {"legacy UTF-8 U umlaut passes", legacy("\xC3\x9Cmit"), "\xC3\x9Cmit"},
        {"a later pair matches an earlier pair's output", legacy("\xC3\xC3\xB1"), "\x85"},
        {"the scan goes on behind a replaced pair", legacy("\x80\x80\x80"), " \x80"},
        {"acute accent becomes an apostrophe", legacy("Don\xC2\xB4t"), "Don't"},
        {"a pair split by another byte", legacy("\xC3x\xA9"), "\xC3x\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace harmovia
