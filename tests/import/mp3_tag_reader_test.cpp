#include "import/mp3_tag_reader.h"

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/import/tag_builders.h"
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

// The four text frames of a tag, by role; a missing payload leaves the frame out.
struct Texts {
    std::optional<Bytes> artist = {}, title = {}, album = {}, genre = {};
};

std::vector<Id3Frame> Frames(int version, const Texts& t) {
    const bool v22 = version <= 2;
    std::vector<Id3Frame> frames;
    const auto add = [&](const char* id22, const char* id23, const std::optional<Bytes>& p) {
        if (p) {
            frames.push_back({v22 ? id22 : id23, *p});
        }
    };
    add("TP1", "TPE1", t.artist);
    add("TT2", "TIT2", t.title);
    add("TAL", "TALB", t.album);
    add("TCO", "TCON", t.genre);
    return frames;
}

struct Reader {
    testing::TempFolder folder;
    std::unique_ptr<Library> library = std::make_unique<Library>();

    std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
        testing::WriteBytes(folder / name, bytes);
        return folder / name;
    }
    int32_t Read(const std::filesystem::path& file) { return ReadMp3Tags(*library, file); }
    const TuneRecord& Last() const { return (*library)[library->CurrentTuneIndex]; }
};

std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

TEST(Mp3TagReader, TextsInEveryEncodingAndVersion) {
    const Bytes artist = Latin1Text("Coltrane");
    const Bytes album = Latin1Text("Blue Train");
    const Bytes genre = Latin1Text("Jazz");
    const struct {
        const char* what;
        int version;
        Bytes title;
        std::string expected;
    } cases[] = {
        {"2.3 Latin-1", 3, Latin1Text("Moment's Notice"), "Moment's Notice"},
        {"2.3 Latin-1 without terminator", 3, Latin1Text("Locomotion", false), "Locomotion"},
        {"2.3 Latin-1 e acute", 3, Latin1Text("Caf\xE9"), "Caf\x8E"},
        {"2.4 UTF-8 e acute", 4, testing::Utf8Text("Caf\xC3\xA9"), "Caf\x8E"},
        {"2.3 UTF-16 with mark and terminator", 3, testing::Utf16LeText(u"Señor"), "Se\x96or"},
        {"2.3 UTF-16 with mark, no terminator", 3, testing::Utf16LeText(u"Señor", false),
         "Se\x96or"},
        {"2.3 UTF-16 outside Latin-1 keeps the low byte", 3, testing::Utf16LeText(u"Ωmega"),
         "\xA9mega"},
        {"2.3 big-endian UTF-16 gives its mark only", 3, testing::Utf16BeText(u"Lazy Bird"),
         "\xFE\xFF"},
        {"2.4 UTF-16 without mark starts with a zero", 4, testing::Utf16BeNoMarkText(u"Lazy Bird"),
         "I'm Old Fashioned"},
        {"2.2 Latin-1", 2, Latin1Text("Lazy Bird"), "Lazy Bird"},
        {"2.2 UTF-16 with terminator", 2, testing::Utf16LeText(u"Lazy Bird"), "Lazy Bird"},
        {"2.2 UTF-16 without terminator loses a letter", 2,
         testing::Utf16LeText(u"Lazy Bird", false), "Lazy Bir"},
        {"2.2 UTF-16 outside Latin-1 gives both bytes", 2, testing::Utf16LeText(u"Ωa"), "\xA9\x03"},
    };
    for (const auto& c : cases) {
        Reader r;
        const auto file =
            r.Write("I'm Old Fashioned.mp3",
                    Mp3File(Id3Tag(c.version, Frames(c.version, {artist, c.title, album, genre}))));
        ASSERT_EQ(r.Read(file), TagReadOk) << c.what;
        EXPECT_EQ(r.Last().Title.view(), c.expected) << c.what;
        EXPECT_EQ(r.Last().Artist.view(), "Coltrane") << c.what;
        EXPECT_EQ(r.Last().Album.view(), "Blue Train") << c.what;
        EXPECT_EQ(r.Last().Genre.view(), "Jazz") << c.what;
    }
}

// The whole size field counts; the zero byte, 254 characters and the buffer's end still stop.
TEST(Mp3TagReader, FrameSizes) {
    const std::string text300 = Repeat('x', 300);
    const struct {
        const char* what;
        int version;
        Id3Frame title;
        std::string expected;
    } cases[] = {
        {"a size shorter than the text",
         3,
         {"TIT2", Latin1Text("Blue Train"), Bytes{0, 0, 0, 5}},
         "Blue"},
        {"2.3 frame of 301 bytes", 3, {"TIT2", Latin1Text(text300, false)}, Repeat('x', 254)},
        {"2.2 frame of 260 bytes",
         2,
         {"TT2", Latin1Text(Repeat('y', 259), false)},
         Repeat('y', 254)},
        {"2.4 syncsafe size 200",
         4,
         {"TIT2", Latin1Text(Repeat('z', 199), false)},
         Repeat('z', 199)},
        {"2.4 plain size 200 (not syncsafe)",
         4,
         {"TIT2", Latin1Text(Repeat('z', 199), false), Bytes{0, 0, 0, 0xC8}},
         Repeat('z', 199)},
        {"2.3 huge size stops at the zero byte",
         3,
         {"TIT2", Latin1Text("Naima"), Bytes{0xFF, 0xFF, 0xFF, 0xFF}},
         "Naima"},
        {"a frame of one byte holds no text", 3, {"TIT2", Bytes{0}}, "Untitled"},
        {"UTF-16 too short for a character", 3, {"TIT2", Bytes{1, 0xFF, 0xFE, 'a'}}, "Untitled"},
        {"size 256 is not size 0",
         3,
         {"TIT2", Latin1Text(Repeat('w', 255), false)},
         Repeat('w', 254)},
    };
    for (const auto& c : cases) {
        Reader r;
        const auto file = r.Write("Untitled.mp3", Mp3File(Id3Tag(c.version, {c.title})));
        ASSERT_EQ(r.Read(file), TagReadOk) << c.what;
        EXPECT_EQ(r.Last().Title.view(), c.expected) << c.what;
    }
}

TEST(Mp3TagReader, UnknownsAndFallbacks) {
    const auto L = [](const char* s) { return std::optional<Bytes>(Latin1Text(s)); };
    const std::optional<Bytes> none;
    const struct {
        const char* what;
        int version;
        Texts texts;
        std::string fileName;
        std::string artist, title, album, genre;
    } cases[] = {
        {"nothing found",
         3,
         {},
         "Live at Home.mp3",
         "Unknown",
         "Live at Home",
         "Unknown",
         "Unknown"},
        {"blanks, 2.3",
         3,
         {L(" "), L(" "), L(" "), L(" ")},
         "a.mp3",
         " ",
         "a",
         "Unknown",
         "Unknown"},
        {"blanks, 2.2",
         2,
         {L(" "), L(""), L(""), L("")},
         "a.mp3",
         "Unknown",
         "a",
         "Unknown",
         "Unknown"},
        {"empty artist kept, 2.4",
         4,
         {L(""), L("T"), none, none},
         "a.mp3",
         "",
         "T",
         "Unknown",
         "Unknown"},
        {"name without extension", 3, {}, "Song Title", "Unknown", "Song T", "Unknown", "Unknown"},
        {"short name", 3, {}, "abcd", "Unknown", "", "Unknown", "Unknown"},
        {"UTF-8 name becomes Mac Roman",
         3,
         {},
         "Caf\xC3\xA9.mp3",
         "Unknown",
         "Caf\x8E",
         "Unknown",
         "Unknown"},
        {"a title of Unknown takes the name",
         3,
         {none, L("Unknown")},
         "Naima.mp3",
         "Unknown",
         "Naima",
         "Unknown",
         "Unknown"},
        {"genre number kept",
         3,
         {none, L("T"), none, L("(17)")},
         "a.mp3",
         "Unknown",
         "T",
         "Unknown",
         "(17)"},
        {"long genre cut",
         3,
         {none, L("T"), none,
          L("Acid Jazz Acid Jazz Acid Jazz Acid Jazz "
            "Acid Jazz Acid Jazz Acid Jazz")},
         "a.mp3",
         "Unknown",
         "T",
         "Unknown",
         "Acid Jazz Acid Jazz Acid Jazz Acid Jazz Acid Jazz Acid Jazz Aci"},
        {"2.2 podcast is a genre",
         2,
         {none, L("T"), none, L("Podcast")},
         "a.mp3",
         "Unknown",
         "T",
         "Unknown",
         "Podcast"},
    };
    for (const auto& c : cases) {
        Reader r;
        const auto file =
            r.Write(c.fileName, Mp3File(Id3Tag(c.version, Frames(c.version, c.texts))));
        ASSERT_EQ(r.Read(file), TagReadOk) << c.what;
        EXPECT_EQ(r.Last().Artist.view(), c.artist) << c.what;
        EXPECT_EQ(r.Last().Title.view(), c.title) << c.what;
        EXPECT_EQ(r.Last().Album.view(), c.album) << c.what;
        EXPECT_EQ(r.Last().Genre.view(), c.genre) << c.what;
    }
}

// Where the frames are found: the first occurrence anywhere in the first 20,000 bytes.
TEST(Mp3TagReader, SearchNotParse) {
    const Bytes picture = Bytes(25000, 0x11);
    const Id3Frame apic{"APIC", picture};
    const Id3Frame title{"TIT2", Latin1Text("Giant Steps")};
    // A comment whose text spells a whole title frame.
    const Id3Frame comment{"COMM",
                           testing::BytesOf(std::string_view("xxTIT2\0\0\0\x05\0\0\0Mr P", 17))};
    const Bytes tag = Id3Tag(3, {title});
    const Bytes otherMarker =
        testing::Concat({testing::BytesOf("XY"), Bytes(tag.begin() + 2, tag.end())});
    const struct {
        const char* what;
        Bytes head;
        std::string expected;
    } cases[] = {
        {"frames behind a big picture are lost", Id3Tag(3, {apic, title}), "Cover"},
        {"frames before it are read", Id3Tag(3, {title, apic}), "Giant Steps"},
        {"an id inside an earlier frame wins", Id3Tag(3, {comment, title}), "Mr P"},
        {"marker bytes 0 and 1 are not checked", otherMarker, "Giant Steps"},
        {"version 5 reads four-letter ids", Id3Tag(5, {title}), "Giant Steps"},
        {"version 1 reads three-letter ids", Id3Tag(1, {{"TT2", Latin1Text("Syeeda")}}), "Syeeda"},
    };
    for (const auto& c : cases) {
        Reader r;
        const auto file = r.Write("Cover.mp3", Mp3File(c.head, 80000));
        ASSERT_EQ(r.Read(file), TagReadOk) << c.what;
        EXPECT_EQ(r.Last().Title.view(), c.expected) << c.what;
    }
}

// A frame at the very end of the 20,000-byte buffer.
TEST(Mp3TagReader, FrameCutByTheBufferEnd) {
    const struct {
        const char* what;
        size_t idAt;  // where "TIT2" starts
        Bytes behind;
        std::string expected;
    } cases[] = {
        {"id ends the buffer", 19996, {}, "Edge"},
        {"size field cut", 19994, {0, 0}, "Edge"},
        {"encoding byte cut", 19990, {0, 0, 0, 9, 0, 0}, "Edge"},
        {"no room for text", 19989, {0, 0, 0, 9, 0, 0, 0}, "Edge"},
        {"text cut", 19986, {0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'}, "abc"},
        {"UTF-16 mark cut", 19988, {0, 0, 0, 9, 0, 0, 1, 0xFF}, "Edge"},
    };
    for (const auto& c : cases) {
        Bytes head = Id3Tag(3, {});
        head.resize(c.idAt, 0);
        head = testing::Concat({head, testing::BytesOf("TIT2"), c.behind});
        Reader r;
        const auto file = r.Write("Edge.mp3", Mp3File(head));
        ASSERT_EQ(r.Read(file), TagReadOk) << c.what;
        EXPECT_EQ(r.Last().Title.view(), c.expected) << c.what;
    }
}

TEST(Mp3TagReader, ResultCodesAndTheSlot) {
    Reader r;
    const Bytes tag = Id3Tag(3, Frames(3, {Latin1Text("A"), Latin1Text("T"), Latin1Text("B")}));
    const auto podcast = [](const char* genre) {
        return Mp3File(
            Id3Tag(3, Frames(3, {std::nullopt, Latin1Text("T"), std::nullopt, Latin1Text(genre)})));
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
    } cases[] = {
        {"tagged", r.Write("ok.mp3", Mp3File(tag)), TagReadOk},
        {"exactly 50,001 bytes", r.Write("min.mp3", Mp3File(tag, 50001)), TagReadOk},
        {"50,000 bytes", r.Write("small.mp3", Mp3File(tag, 50000)), TagReadUnreadable},
        {"empty file", r.Write("empty.mp3", {}), TagReadUnreadable},
        {"hidden name", r.Write(".hidden.mp3", Mp3File(tag)), TagReadUnreadable},
        {"vanished", r.folder / "gone.mp3", TagReadUnreadable},
        {"dangling link", r.folder / "dangling.mp3", TagReadUnreadable},
        {"a folder", r.folder / "folder.mp3", TagReadUnreadable},
        {"a FIFO", r.folder / "fifo.mp3", TagReadUnreadable},
        {"no permission", locked, rootReadsAnything ? TagReadOk : TagReadUnreadable},
        {"no tag", r.Write("raw.mp3", Mp3File({})), TagReadRejected},
        {"2.3 podcast", r.Write("p1.mp3", podcast("Podcast")), TagReadRejected},
        {"podcast in any letter case", r.Write("p2.mp3", podcast("pODCAST")), TagReadRejected},
    };
    for (const auto& c : cases) {
        r.library->CurrentTuneIndex = r.library->TuneCount = 0;
        EXPECT_EQ(r.Read(c.file), c.code) << c.what;
        EXPECT_EQ(r.library->CurrentTuneIndex, c.code == TagReadOk ? 1 : 0) << c.what;
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
        return Mp3File(
            Id3Tag(4, Frames(4, {Latin1Text(artist), Latin1Text(title), Latin1Text(album)})));
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
        EXPECT_EQ(r.Read(r.Write("dup.mp3", c.bytes)), c.code) << c.what;
        if (c.code == TagReadOk) {
            GiveBackSlot(*r.library);
        }
        EXPECT_EQ(r.library->CurrentTuneIndex, 2) << c.what;
    }
}

// What the readers take from files the ffmpeg command tags.
TEST(Mp3TagReader, FilesTaggedByFfmpeg) {
    // ffmpeg writes non-ASCII 2.3 text as little-endian UTF-16 (mark and terminator), whose
    // low bytes are Latin-1, and 2.4 text as UTF-8. Of Latin-1 only e acute, n tilde and
    // e grave are converted; the UTF-8 pairs cover more letters (O slash among them).
    const struct {
        int id3v2Version;
        std::string artist;
    } cases[] = {{3, "\xD8rjan"}, {4, "\xAFrjan"}};
    for (const auto& c : cases) {
        Reader r;
        testing::TestAudio audio;
        audio.seconds = 5;
        audio.id3v2Version = c.id3v2Version;
        audio.tags = {{"title", "Café Society"},
                      {"artist", "Ørjan"},
                      {"album", "Señor Blues"},
                      {"genre", "Jazz"}};
        const auto file = testing::MakeTestAudio(r.folder / "tune.mp3", audio);
        ASSERT_EQ(r.Read(file), TagReadOk) << c.id3v2Version;
        EXPECT_EQ(r.Last().Title.view(), "Caf\x8E Society") << c.id3v2Version;
        EXPECT_EQ(r.Last().Artist.view(), c.artist) << c.id3v2Version;
        EXPECT_EQ(r.Last().Album.view(), "Se\x96or Blues") << c.id3v2Version;
        EXPECT_EQ(r.Last().Genre.view(), "Jazz") << c.id3v2Version;
    }
}

}  // namespace
}  // namespace harmovia
