#include "import/mp3_tag_reader.h"

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/import/tag_builders.h"
#include "tests/import/tag_reader_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

using testing::Bytes;
using testing::Id3Frame;
using testing::Id3Tag;
using testing::Latin1Text;
using testing::Mp3File;
using testing::Utf16LeText;
using testing::Utf8Text;
using OptBytes = std::optional<Bytes>;

// The artist, title, album and genre frames of a tag; a missing payload leaves the frame out.
std::vector<Id3Frame> Frames(int version, const std::vector<OptBytes>& texts) {
    const char* ids[2][4] = {{"TP1", "TT2", "TAL", "TCO"}, {"TPE1", "TIT2", "TALB", "TCON"}};
    std::vector<Id3Frame> frames;
    for (size_t k = 0; k < texts.size(); ++k) {
        if (texts[k]) {
            frames.push_back({ids[version > 2][k], *texts[k]});
        }
    }
    return frames;
}

Bytes Tagged(int version, const std::vector<OptBytes>& texts, size_t length = 60000) {
    return Mp3File(Id3Tag(version, Frames(version, texts)), length);
}

struct Reader : testing::TagReaderFixture<ReadMp3Tags> {
    // Artist, title, album and genre of the last slot, joined by '|'.
    std::string Texts() const {
        const TuneRecord& r = Last();
        return std::string(r.Artist.view()) + "|" + std::string(r.Title.view()) + "|" +
               std::string(r.Album.view()) + "|" + std::string(r.Genre.view());
    }
};

TEST(Mp3TagReader, TextsInEveryEncodingAndVersion) {
    std::string e254;
    for (int i = 0; i < 254; ++i) {
        e254 += "\xC3\xA9";
    }
    const struct {
        const char* what;
        int version;
        Bytes title;
        std::string expected;
    } cases[] = {
        {"2.3 Latin-1", 3, Latin1Text("Moment's Notice"), "Moment's Notice"},
        {"2.3 Latin-1 without terminator", 3, Latin1Text("Locomotion", false), "Locomotion"},
        {"2.3 Latin-1 letters", 3,
         Latin1Text("\xDC"
                    "ber L\xE4rm"),
         "\x86"
         "ber L\x8Arm"},
        {"2.3 UTF-8 in a Latin-1 frame", 3,
         Latin1Text("\xC3\x9C"
                    "ber L\xC3\xA4rm"),
         "\x86"
         "ber L\x8Arm"},
        {"2.4 UTF-8 quote and ordinal", 4,
         Utf8Text("Don\xE2\x80\x99t n\xC2\xBA"
                  "1"),
         "Don\xD5t n\xBC"
         "1"},
        {"2.4 UTF-8 with a stray Latin-1 byte", 4, Utf8Text("Caf\xC3\xA9 \xE9"), "Caf\x8E \x8E"},
        {"2.4 Japanese is a text of question marks", 4, Utf8Text("\xE6\x97\xA5\xE6\x9C\xAC"), "??"},
        {"2.4 254 two-byte characters", 4, Utf8Text(e254), std::string(254, '\x8E')},
        {"2.3 UTF-16 with mark and terminator", 3, Utf16LeText(u"Señor"), "Se\x96or"},
        {"2.3 UTF-16 with mark, no terminator", 3, Utf16LeText(u"Señor", false), "Se\x96or"},
        {"2.3 UTF-16 outside Latin-1", 3, Utf16LeText(u"Ωmega – €"), "\xBDmega \xD0 \xDB"},
        {"2.3 UTF-16 emoji and mixed", 3, Utf16LeText(u"\U0001F3B5 caf\u00E9 \u65E5"),
         "? caf\x8E ?"},
        {"2.3 big-endian UTF-16 with mark", 3, testing::Utf16BeText(u"Lazy Bird"), "Lazy Bird"},
        {"2.4 big-endian UTF-16 without mark", 4, testing::Utf16BeNoMarkText(u"Lazy Bird"),
         "Lazy Bird"},
        {"2.2 Latin-1", 2, Latin1Text("Lazy Bird"), "Lazy Bird"},
        {"2.2 UTF-16 with terminator", 2, Utf16LeText(u"Lazy Bird"), "Lazy Bird"},
        {"2.2 UTF-16 without terminator loses a letter", 2, Utf16LeText(u"Lazy Bird", false),
         "Lazy Bir"},
        {"2.2 UTF-16 outside Latin-1", 2, Utf16LeText(u"Ωa"),
         "\xBD"
         "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        const Bytes bytes = Tagged(c.version, {Latin1Text("Coltrane"), c.title,
                                               Latin1Text("Blue Train"), Latin1Text("Jazz")});
        ASSERT_EQ(r.Read(r.Write("I'm Old Fashioned.mp3", bytes)), TagReadOk);
        EXPECT_EQ(r.Texts(), "Coltrane|" + c.expected + "|Blue Train|Jazz");
    }
}

TEST(Mp3TagReader, UnknownsAndFallbacks) {
    const auto L = [](const std::string& s) { return OptBytes(Latin1Text(s)); };
    const std::optional<Bytes> no;
    const std::string acid =
        "Acid Jazz Acid Jazz Acid Jazz Acid Jazz Acid Jazz Acid Jazz Acid Jazz";
    const struct {
        const char* what;
        int version;
        std::vector<OptBytes> texts;  // artist, title, album, genre
        std::string fileName, expected;
    } cases[] = {
        {"nothing found", 3, {}, "Live at Home.mp3", "Unknown|Live at Home|Unknown|Unknown"},
        {"blanks, 2.3", 3, {L(" "), L(" "), L(" "), L(" ")}, "a.mp3", " |a|Unknown|Unknown"},
        {"blanks, 2.2", 2, {L(" "), L(""), L(""), L("")}, "a.mp3", "Unknown|a|Unknown|Unknown"},
        {"empty artist kept, 2.4", 4, {L(""), L("T")}, "a.mp3", "|T|Unknown|Unknown"},
        {"name without extension", 3, {}, "Song Title", "Unknown|Song T|Unknown|Unknown"},
        {"short name", 3, {}, "abcd", "Unknown||Unknown|Unknown"},
        {"UTF-8 name becomes Mac Roman",
         3,
         {},
         "Caf\xC3\xA9.mp3",
         "Unknown|Caf\x8E|Unknown|Unknown"},
        {"a title of Unknown takes the name",
         3,
         {no, L("Unknown")},
         "Naima.mp3",
         "Unknown|Naima|Unknown|Unknown"},
        {"genre number kept", 3, {no, L("T"), no, L("(17)")}, "a.mp3", "Unknown|T|Unknown|(17)"},
        {"long genre cut",
         3,
         {no, L("T"), no, L(acid)},
         "a.mp3",
         "Unknown|T|Unknown|" + acid.substr(0, 63)},
        {"2.2 podcast is a genre",
         2,
         {no, L("T"), no, L("Podcast")},
         "a.mp3",
         "Unknown|T|Unknown|Podcast"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        ASSERT_EQ(r.Read(r.Write(c.fileName, Tagged(c.version, c.texts))), TagReadOk);
        EXPECT_EQ(r.Texts(), c.expected);
    }
}

// The title read from tags built around it; a file without one is titled by its name.
TEST(Mp3TagReader, WhereTheTitleIsFoundAndWhereItEnds) {
    const auto title = [](int version, const Bytes& payload, std::optional<Bytes> size = {}) {
        return Id3Tag(version, {{version > 2 ? "TIT2" : "TT2", payload, size}});
    };
    const auto x = [](char c, size_t n) { return Latin1Text(std::string(n, c), false); };
    const Id3Frame apic{"APIC", Bytes(25000, 0x11)}, tit2{"TIT2", Latin1Text("Giant Steps")};
    // A comment whose text spells a whole title frame.
    const Id3Frame comment{"COMM",
                           testing::BytesOf(std::string_view("xxTIT2\0\0\0\x05\0\0\0Mr P", 17))};
    const Bytes plain = Id3Tag(3, {tit2});
    // "TIT2" at `at` in the 20,000-byte buffer, then `behind`.
    const auto atEdge = [](size_t at, const Bytes& behind) {
        Bytes head = Id3Tag(3, {});
        head.resize(at, 0);
        return testing::Concat({head, testing::BytesOf("TIT2"), behind});
    };
    const struct {
        const char* what;
        Bytes head;
        std::string expected;
    } cases[] = {
        // The whole size field counts; the zero byte, 254 characters and the buffer's end stop.
        {"a size shorter than the text", title(3, Latin1Text("Blue Train"), Bytes{0, 0, 0, 5}),
         "Blue"},
        {"2.3 frame of 301 bytes", title(3, x('x', 300)), std::string(254, 'x')},
        {"2.2 frame of 260 bytes", title(2, x('y', 259)), std::string(254, 'y')},
        {"2.4 syncsafe size 200", title(4, x('z', 199)), std::string(199, 'z')},
        {"2.4 plain size 200 (not syncsafe)", title(4, x('z', 199), Bytes{0, 0, 0, 0xC8}),
         std::string(199, 'z')},
        {"2.3 huge size stops at the zero byte",
         title(3, Latin1Text("Naima"), Bytes{0xFF, 0xFF, 0xFF, 0xFF}), "Naima"},
        {"a frame of one byte holds no text", title(3, Bytes{0}), "Untitled"},
        {"UTF-16 too short for a character", title(3, Bytes{1, 0xFF, 0xFE, 'a'}), "Untitled"},
        {"size 256 is not size 0", title(3, x('w', 255)), std::string(254, 'w')},
        // Searched, not parsed: the first occurrence anywhere in the first 20,000 bytes.
        {"frames behind a big picture are lost", Id3Tag(3, {apic, tit2}), "Untitled"},
        {"frames before it are read", Id3Tag(3, {tit2, apic}), "Giant Steps"},
        {"an id inside an earlier frame wins", Id3Tag(3, {comment, tit2}), "Mr P"},
        {"marker bytes 0 and 1 are not checked",
         testing::Concat({testing::BytesOf("XY"), Bytes(plain.begin() + 2, plain.end())}),
         "Giant Steps"},
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

TEST(Mp3TagReader, ResultCodesAndTheSlot) {
    Reader r;
    const Bytes tag = Id3Tag(3, Frames(3, {Latin1Text("A"), Latin1Text("T"), Latin1Text("B")}));
    const auto podcast = [](const char* genre) {
        return Tagged(3, {std::nullopt, Latin1Text("T"), std::nullopt, Latin1Text(genre)});
    };
    std::filesystem::create_directory(r.folder / "folder.mp3");
    ASSERT_EQ(::mkfifo((r.folder / "fifo.mp3").c_str(), 0644), 0);
    std::filesystem::create_symlink(r.folder / "gone.mp3", r.folder / "dangling.mp3");
    const auto locked = r.Write("locked.mp3", Mp3File(tag));
    ::chmod(locked.c_str(), 0);
    const bool rootReadsAnything = ::geteuid() == 0;

    const struct {
        const char* what;
        std::filesystem::path file;
        int32_t code;
        TagRefusal why;
    } cases[] = {
        {"tagged", r.Write("ok.mp3", Mp3File(tag)), TagReadOk, TagRefusal::None},
        {"exactly 50,001 bytes", r.Write("min.mp3", Mp3File(tag, 50001)), TagReadOk,
         TagRefusal::None},
        {"50,000 bytes", r.Write("small.mp3", Mp3File(tag, 50000)), TagReadUnreadable,
         TagRefusal::TooSmall},
        {"empty file", r.Write("empty.mp3", {}), TagReadUnreadable, TagRefusal::TooSmall},
        {"hidden name", r.Write(".hidden.mp3", Mp3File(tag)), TagReadUnreadable,
         TagRefusal::HiddenName},
        {"vanished", r.folder / "gone.mp3", TagReadUnreadable, TagRefusal::Unreadable},
        {"dangling link", r.folder / "dangling.mp3", TagReadUnreadable, TagRefusal::Unreadable},
        {"a folder", r.folder / "folder.mp3", TagReadUnreadable, TagRefusal::Unreadable},
        {"a FIFO", r.folder / "fifo.mp3", TagReadUnreadable, TagRefusal::Unreadable},
        {"no permission", locked, rootReadsAnything ? TagReadOk : TagReadUnreadable,
         rootReadsAnything ? TagRefusal::None : TagRefusal::PermissionDenied},
        {"no tag", r.Write("raw.mp3", Mp3File({})), TagReadRejected, TagRefusal::NotTagged},
        {"2.3 podcast", r.Write("p1.mp3", podcast("Podcast")), TagReadRejected,
         TagRefusal::Podcast},
        {"podcast in any letter case", r.Write("p2.mp3", podcast("pODCAST")), TagReadRejected,
         TagRefusal::Podcast},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.library->CurrentTuneIndex = r.library->TuneCount = 0;
        TagRefusal why = TagRefusal::Duplicate;
        EXPECT_EQ(ReadMp3TagsWithReason(*r.library, c.file, why), c.code);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(r.library->CurrentTuneIndex, c.code == TagReadOk ? 1 : 0);
    }

    const TuneRecord& record = (*r.library)[1];
    struct stat file {
    }, folder{};
    ASSERT_EQ(::stat((r.folder / "min.mp3").c_str(), &file), 0);
    ASSERT_EQ(::stat(r.folder.path().c_str(), &folder), 0);
    r.library->CurrentTuneIndex = 0;
    ASSERT_EQ(r.Read(r.folder / "min.mp3"), TagReadOk);
    EXPECT_EQ(record.FileName.view(), "min.mp3");
    EXPECT_EQ(record.FileSize, 50001u);
    EXPECT_EQ(record.FileKind, kFileKindMp3);
    EXPECT_EQ(record.VolumeRef, static_cast<int16_t>(file.st_dev));
    EXPECT_EQ(record.FolderId, static_cast<int32_t>(folder.st_ino));

    r.library->CurrentTuneIndex = r.library->TuneCount = kMaxTunes;
    EXPECT_EQ(r.Read(r.folder / "ok.mp3"), TagReadUnreadable) << "library full";
    EXPECT_EQ(r.library->CurrentTuneIndex, kMaxTunes);
}

TEST(Mp3TagReader, Duplicates) {
    const auto file = [](const char* artist, const char* title, const char* album) {
        return Tagged(4, {Latin1Text(artist), Latin1Text(title), Latin1Text(album)});
    };
    Reader r;
    ASSERT_EQ(r.Read(r.Write("1.mp3", file("Ayler", "Ghosts", "Spiritual Unity"))), TagReadOk);
    CommitTunes(*r.library);
    ASSERT_EQ(r.Read(r.Write("2.mp3", file("", "Bells", "Bells"))), TagReadOk);  // not committed

    const struct {
        const char* what;
        Bytes bytes;
        int32_t code;
    } cases[] = {
        {"same three texts as a committed tune", file("Ayler", "Ghosts", "Spiritual Unity"),
         TagReadRejected},
        {"same as a slot still under construction", file("", "Bells", "Bells"), TagReadRejected},
        {"letter case differs", file("AYLER", "Ghosts", "Spiritual Unity"), TagReadOk},
        {"album differs", file("Ayler", "Ghosts", "Vibrations"), TagReadOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(r.Read(r.Write("dup.mp3", c.bytes)), c.code);
        if (c.code == TagReadOk) {
            GiveBackSlot(*r.library);
        }
        EXPECT_EQ(r.library->CurrentTuneIndex, 2);
    }
}

// A library saved by earlier versions holds their conversion of the same tags; adding the
// file again must still find the tune.
TEST(Mp3TagReader, DuplicateOfATuneStoredTheOldWay) {
    const Bytes bytes = Tagged(3, {Latin1Text("\xC3\x9C"
                                              "ber"),
                                   Utf16LeText(u"Ωmega"), Latin1Text("Don\xE2\x80\x99t")});
    const struct {
        const char* what;
        std::string artist, title, album;
        int32_t code;
    } cases[] = {
        {"stored the old way",
         "\xC3\x9C"
         "ber",
         "\xA9mega", "Don\xE2\x80\x99t", TagReadRejected},
        {"stored the new way",
         "\x86"
         "ber",
         "\xBDmega", "Don\xD5t", TagReadRejected},
        {"old artist, new title",
         "\xC3\x9C"
         "ber",
         "\xBDmega", "Don\xD5t", TagReadOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        TuneRecord& stored = (*r.library)[1];
        stored.Artist.Set(c.artist);
        stored.Title.Set(c.title);
        stored.Album.Set(c.album);
        r.library->TuneCount = r.library->CurrentTuneIndex = 1;
        TagRefusal why = TagRefusal::None;
        EXPECT_EQ(ReadMp3TagsWithReason(*r.library, r.Write("again.mp3", bytes), why), c.code);
        EXPECT_EQ(why, c.code == TagReadOk ? TagRefusal::None : TagRefusal::Duplicate);
    }
}

// ffmpeg writes non-ASCII 2.3 text as little-endian UTF-16 (mark and terminator) and 2.4
// text as UTF-8; both read the same.
TEST(Mp3TagReader, FilesTaggedByFfmpeg) {
    for (const int version : {3, 4}) {
        SCOPED_TRACE(version);
        Reader r;
        testing::TestAudio audio{.seconds = 5, .id3v2Version = version};
        audio.tags = {
            {"title", "Café"}, {"artist", "Ørjan"}, {"album", "Señor"}, {"genre", "Jazz"}};
        ASSERT_EQ(r.Read(testing::MakeTestAudio(r.folder / "tune.mp3", audio)), TagReadOk);
        EXPECT_EQ(r.Texts(), "\xAFrjan|Caf\x8E|Se\x96or|Jazz");
    }
}

}  // namespace
}  // namespace harmovia
