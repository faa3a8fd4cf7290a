#include "import/mp4_tag_reader.h"

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/import/tag_builders.h"
#include "tests/import/tag_reader_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

#include <sys/stat.h>

namespace harmovia {
namespace {

using testing::Bytes;
using testing::M4aFile;
using testing::Mp4GenreItem;
using testing::Mp4TextItem;

const std::string kTitle = "\251nam", kAlbum = "\251alb", kArtist = "\251ART", kGenre = "\251gen";
const Bytes kAlb = Mp4TextItem(kAlbum, "Kind of Blue"), kArt = Mp4TextItem(kArtist, "Miles Davis");

using Reader = testing::TagReaderFixture<ReadMp4Tags>;

// Title, album and artist items, then `more`.
std::vector<Bytes> Items(const std::string& title, const std::vector<Bytes>& more = {}) {
    std::vector<Bytes> items = {Mp4TextItem(kTitle, title), kAlb, kArt};
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

TEST(Mp4TagReader, TextsAndGenres) {
    const std::string t254(254, 't'), cafe = "Caf\xC3\xA9";
    std::string e200;
    for (int i = 0; i < 200; ++i) {
        e200 += "\xC3\xA9";
    }
    const struct {
        const char* what;
        std::vector<Bytes> items;
        std::string title, genre;
    } cases[] = {
        {"no genre atom", Items("So What"), "So What", "Unknown"},
        {"gnre 18", Items("So What", {Mp4GenreItem(18)}), "So What", "Rock"},
        {"gnre 2", Items("So What", {Mp4GenreItem(2)}), "So What", "Unknown"},
        {"gnre 274 counts its low byte", Items("So What", {Mp4GenreItem(274)}), "So What", "Rock"},
        {"genre text", Items("So What", {Mp4TextItem(kGenre, "Modal Jazz")}), "So What",
         "Modal Jazz"},
        {"gnre wins over genre text",
         Items("So What", {Mp4TextItem(kGenre, "Modal Jazz"), Mp4GenreItem(9)}), "So What", "Jazz"},
        {"genre text is converted like the title", Items(cafe, {Mp4TextItem(kGenre, cafe)}),
         "Caf\x8E", "Caf\x8E"},
        {"an invalid UTF-8 byte is Latin-1", Items("Caf\xE9 \xE2\x80\x99"), "Caf\x8E \xD5",
         "Unknown"},
        {"emoji and Japanese", Items("\xF0\x9F\x8E\xB5\xE6\x97\xA5"), "??", "Unknown"},
        {"200 two-byte characters", Items(e200), std::string(200, '\x8E'), "Unknown"},
        {"genre text cut to 63", Items("So What", {Mp4TextItem(kGenre, std::string(80, 'g'))}),
         "So What", std::string(63, 'g')},
        {"empty genre text", Items("So What", {Mp4TextItem(kGenre, "")}), "So What", "Unknown"},
        {"genre atom that is no data atom",
         Items("So What", {testing::Mp4Atom(kGenre, testing::Mp4Atom("dat\x12", Bytes(8, 0)))}),
         "So What", "Rock"},
        {"title of 254", Items(t254), t254, "Unknown"},
        {"title of 255", Items(t254 + "t"), "Unknown", "Unknown"},
        {"empty title is still taken", Items(""), "Unknown", "Unknown"},
        {"atoms in any order", {kArt, kAlb, Mp4TextItem(kTitle, "So What")}, "So What", "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        ASSERT_EQ(r.Read(r.Write("tune.m4a", M4aFile(c.items, true))), TagReadOk);
        EXPECT_EQ(r.Last().Title.view(), c.title);
        EXPECT_EQ(r.Last().Genre.view(), c.genre);
        EXPECT_EQ(r.library->CurrentTuneIndex, 1);
    }
    Reader r;
    ASSERT_EQ(r.Read(r.Write("tune.m4a", M4aFile(Items("So What"), true, 123457))), TagReadOk);
    EXPECT_EQ(r.Last().Album.view(), "Kind of Blue");
    EXPECT_EQ(r.Last().Artist.view(), "Miles Davis");
    EXPECT_EQ(r.Last().FileName.view(), "tune.m4a");
    EXPECT_EQ(r.Last().FileSize, 123457u) << "the whole length, though a quarter is read";
    EXPECT_EQ(r.Last().FileKind, kFileKindMp4);
}

TEST(Mp4TagReader, NotTaken) {
    Reader r;
    std::filesystem::create_directory(r.folder / "folder.m4a");
    ASSERT_EQ(::mkfifo((r.folder / "fifo.m4a").c_str(), 0644), 0);
    const auto without = [](size_t i) {
        std::vector<Bytes> items = Items("So What");
        items.erase(items.begin() + static_cast<long>(i));
        return M4aFile(items, true);
    };
    const auto ok = [](size_t length) { return M4aFile(Items("So What"), true, length); };
    const struct {
        const char* what;
        std::filesystem::path file;
        int32_t code;
    } cases[] = {
        {"metadata first", r.Write("ok.m4a", ok(200000)), TagReadOk},
        {"exactly 100,001 bytes", r.Write("min.m4a", ok(100001)), TagReadOk},
        {"100,000 bytes", r.Write("small.m4a", ok(100000)), Mp4TagNotTaken},
        {"no title", r.Write("t.m4a", without(0)), Mp4TagNotTaken},
        {"no album", r.Write("b.m4a", without(1)), Mp4TagNotTaken},
        {"no artist", r.Write("a.m4a", without(2)), Mp4TagNotTaken},
        {"hidden name", r.Write(".ok.m4a", ok(200000)), Mp4TagNotTaken},
        {"empty file", r.Write("empty.m4a", {}), Mp4TagNotTaken},
        {"vanished", r.folder / "gone.m4a", Mp4TagNotTaken},
        {"a folder", r.folder / "folder.m4a", Mp4TagNotTaken},
        {"a FIFO", r.folder / "fifo.m4a", Mp4TagNotTaken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.library->CurrentTuneIndex = r.library->TuneCount = 0;
        EXPECT_EQ(r.Read(c.file), c.code);
        EXPECT_EQ(r.library->CurrentTuneIndex, c.code == TagReadOk ? 1 : 0);
    }

    r.library->CurrentTuneIndex = r.library->TuneCount = 0;
    ASSERT_EQ(r.Read(r.folder / "ok.m4a"), TagReadOk);
    EXPECT_EQ(r.Read(r.folder / "ok.m4a"), Mp4TagNotTaken) << "duplicate";
    EXPECT_EQ(r.Read(r.Write("other.m4a", M4aFile(Items("SO WHAT"), true))), TagReadOk)
        << "letter case differs";
    EXPECT_EQ(r.library->CurrentTuneIndex, 2);
    r.library->CurrentTuneIndex = r.library->TuneCount = kMaxTunes;
    EXPECT_EQ(r.Read(r.folder / "ok.m4a"), Mp4TagNotTaken) << "library full";
    EXPECT_EQ(r.library->CurrentTuneIndex, kMaxTunes);
}

// Tags behind the audio: the top-level atoms are walked to the movie atom.
TEST(Mp4TagReader, MovieAtomBehindTheAudio) {
    const Bytes ftyp = testing::Mp4Atom("ftyp", testing::BytesOf("M4A mp42isom"));
    const Bytes moov = testing::Mp4MovieAtom(Items("So What"));
    const Bytes noTitle = testing::Mp4MovieAtom({kAlb, kArt});
    const auto mdat = [](size_t n) { return testing::Mp4Atom("mdat", Bytes(n, 0x21)); };
    // A 64-bit sized media atom: size field 1, the type, then the size in eight bytes.
    const auto mdat64 = [](size_t n) {
        const uint64_t size = n + 16;
        Bytes atom = testing::Concat({{0, 0, 0, 1}, testing::BytesOf("mdat")});
        for (int shift = 56; shift >= 0; shift -= 8) {
            atom.push_back(static_cast<uint8_t>(size >> shift));
        }
        atom.resize(atom.size() + n, 0x22);
        return atom;
    };
    const auto sized = [](uint32_t size, std::string_view type) {
        return testing::Concat({{static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                                 static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)},
                                testing::BytesOf(type)});
    };
    // A movie atom of 16 MB and one byte, stored sparsely.
    const uint32_t huge = (16u << 20) + 1;
    const struct {
        const char* what;
        Bytes bytes;
        int32_t code;
        TagRefusal why;
    } cases[] = {
        {"after the media", testing::Concat({ftyp, mdat(300000), moov}), TagReadOk,
         TagRefusal::None},
        {"after a 64-bit media atom", testing::Concat({ftyp, mdat64(300000), moov}), TagReadOk,
         TagRefusal::None},
        {"after a last atom without a size",
         testing::Concat({ftyp, moov, sized(0, "mdat"), Bytes(300000, 0)}), TagReadOk,
         TagRefusal::None},
        {"no title in it", testing::Concat({ftyp, mdat(300000), noTitle}), Mp4TagNotTaken,
         TagRefusal::NotTagged},
        {"no movie atom", testing::Concat({ftyp, mdat(300000)}), Mp4TagNotTaken,
         TagRefusal::NotTagged},
        {"a size past the end", testing::Concat({ftyp, sized(400000, "mdat"), Bytes(300000, 0)}),
         Mp4TagNotTaken, TagRefusal::Damaged},
        {"a size below its header", testing::Concat({ftyp, sized(4, "free"), Bytes(300000, 0)}),
         Mp4TagNotTaken, TagRefusal::Damaged},
        {"a movie atom over 16 MB",
         testing::Concat({ftyp, mdat(300000), sized(huge, "moov"), Bytes(huge - 8, 0)}),
         Mp4TagNotTaken, TagRefusal::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reader r;
        TagRefusal why = TagRefusal::Duplicate;
        EXPECT_EQ(ReadMp4TagsWithReason(*r.library, r.Write("late.m4a", c.bytes), why), c.code);
        EXPECT_EQ(why, c.why);
        if (c.code == TagReadOk) {
            EXPECT_EQ(r.Last().Title.view(), "So What");
            EXPECT_EQ(r.Last().Artist.view(), "Miles Davis");
        }
    }
}

// A library saved by earlier versions holds their conversion of the same tags.
TEST(Mp4TagReader, DuplicateOfATuneStoredTheOldWay) {
    for (const char* storedTitle : {"\xC3\x9C"
                                    "ber",
                                    "\x86"
                                    "ber"}) {
        SCOPED_TRACE(storedTitle);
        Reader r;
        TuneRecord& stored = (*r.library)[1];
        stored.Title.Set(storedTitle);
        stored.Album.Set("Kind of Blue");
        stored.Artist.Set("Miles Davis");
        r.library->TuneCount = r.library->CurrentTuneIndex = 1;
        TagRefusal why = TagRefusal::None;
        EXPECT_EQ(ReadMp4TagsWithReason(*r.library,
                                        r.Write("again.m4a", M4aFile(Items("\xC3\x9C"
                                                                           "ber"),
                                                                     true)),
                                        why),
                  Mp4TagNotTaken);
        EXPECT_EQ(why, TagRefusal::Duplicate);
    }
}

// The first quarter is searched in slices; what lies near a slice's or the quarter's end.
TEST(Mp4TagReader, SliceAndQuarterEdges) {
    constexpr size_t kLength = 8u << 20;  // a quarter of 2 MiB: two slices
    constexpr size_t kQuarter = kLength / 4, kSlice = 1u << 20;
    const Bytes bop = Mp4TextItem(kTitle, "Boplicity");
    const struct {
        const char* what;
        size_t nameAt;  // where the title atom's name starts
        Bytes behind;   // the bytes that follow it
        int32_t code;
        std::string title;
    } cases[] = {
        {"name across the slices' seam", kSlice - 2, Bytes(bop.begin() + 8, bop.end()), TagReadOk,
         "Boplicity"},
        {"text cut by the quarter's end", kQuarter - 4 - 20,
         testing::Concat({Bytes(16, 1), testing::BytesOf("Jeru and more")}), TagReadOk, "Jeru"},
        {"name cut by the quarter's end", kQuarter - 3, {}, Mp4TagNotTaken, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes(kLength, 0);
        const Bytes head = testing::Concat({kAlb, kArt, Mp4GenreItem(18)});
        std::copy(head.begin(), head.end(), bytes.begin());
        const Bytes title = testing::Concat({testing::BytesOf(kTitle), c.behind});
        std::copy_n(title.begin(), std::min(title.size(), kLength - c.nameAt),
                    bytes.begin() + static_cast<long>(c.nameAt));
        Reader r;
        EXPECT_EQ(r.Read(r.Write("edge.m4a", bytes)), c.code);
        if (c.code == TagReadOk) {
            EXPECT_EQ(r.Last().Title.view(), c.title);
            EXPECT_EQ(r.Last().Genre.view(), "Rock");
        }
    }
}

TEST(Mp4TagReader, GenreNumbers) {
    const struct {
        int32_t number;
        const char* name;
    } cases[] = {{1, "Blues"},   {18, "Rock"},   {53, "Electronic"}, {99, "Easy Listening"},
                 {0, "Unknown"}, {2, "Unknown"}, {100, "Unknown"},   {255, "Unknown"}};
    for (const auto& c : cases) {
        EXPECT_EQ(GenreNameForMp4Number(c.number), c.name) << c.number;
    }
}

// Without +faststart ffmpeg writes the movie atom behind the audio; the tags are read all the
// same.
TEST(Mp4TagReader, FilesTaggedByFfmpeg) {
    for (const bool moovFirst : {true, false}) {
        SCOPED_TRACE(moovFirst);
        Reader r;
        testing::TestAudio audio{
            .seconds = 10, .encoding = testing::TestEncoding::AacM4a, .moovFirst = moovFirst};
        audio.tags = {
            {"title", "Café"}, {"artist", "Ørjan"}, {"album", "Señor"}, {"genre", "Jazz"}};
        const auto file = testing::MakeTestAudio(r.folder / "tune.m4a", audio);
        ASSERT_EQ(r.Read(file), TagReadOk);
        EXPECT_EQ(r.Last().Title.view(), "Caf\x8E");
        EXPECT_EQ(r.Last().Artist.view(), "\xAFrjan");
        EXPECT_EQ(r.Last().Album.view(), "Se\x96or");
        EXPECT_EQ(r.Last().Genre.view(), "Jazz");
    }
}

}  // namespace
}  // namespace harmovia
