#include "library/library_file.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/app_folders.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(TuneRecordLayout, GoldenRecord) {
    using Set = void (*)(TuneRecord&);
    const std::tuple<int, std::vector<uint8_t>, Set> fields[] = {
        {370, {2, 'H', 'i'}, [](TuneRecord& r) { r.Title.Set("Hi"); }},
        {882, {0xFF, 0xFE}, [](TuneRecord& r) { r.VolumeRef = -2; }},
        {884, {0x01, 0x02, 0x03, 0x04}, [](TuneRecord& r) { r.FolderId = 0x01020304; }},
        {1146, {1, 'A'}, [](TuneRecord& r) { r.Artist.Set("A"); }},
        {1658, {0xA1, 0xB2, 0xC3, 0xD4}, [](TuneRecord& r) { r.FileSize = 0xA1B2C3D4; }},
        {1662, {0x00, 0x00, 0x00, 0xC8}, [](TuneRecord& r) { r.DurationSeconds = 200; }},
        {1668, {0x01, 0x02}, [](TuneRecord& r) { r.ByteRateIndex = 0x0102; }},
        {1678, {4, 'J', 'a', 'z', 'z'}, [](TuneRecord& r) { r.Genre.Set("Jazz"); }},
        {1742, {0x02, 0x02}, [](TuneRecord& r) { r.GenreCode = 514; }},
        {1842, {0xD4, 0x00}, [](TuneRecord& r) { r.MoodColourBlue = 0xD400; }},
        {1846, {0x00, 0x04}, [](TuneRecord& r) { r.FileKind = kFileKindMp4; }},
        // Element 0 of the peak arrays and PeakBinDistinctCount are little-endian in the file.
        {1848, {0x44, 0x33, 0x22, 0x11}, [](TuneRecord& r) { r.PeakBins[0] = 0x11223344; }},
        {1852, {0x00, 0x00, 0x00, 0x07}, [](TuneRecord& r) { r.PeakBins[1] = 7; }},
        {2092, {0x66, 0x55}, [](TuneRecord& r) { r.PeakPowers[0] = 0x5566; }},
        {2096, {0x03, 0x04}, [](TuneRecord& r) { r.PeakPowers[2] = 0x0304; }},
        {2362, {4, 3, 2, 1}, [](TuneRecord& r) { r.PeakBinDistinctCount = 0x01020304; }},
        {2414, {1}, [](TuneRecord& r) { r.LastAddedFlag = 1; }},
    };
    TuneRecord r;
    std::array<uint8_t, kTuneRecordSize> expected{}, actual{};
    for (const auto& [offset, bytes, set] : fields) {
        set(r);
        std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);
    }
    EncodeTuneRecord(r, actual);
    for (int i = 0; i < kTuneRecordSize; ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "offset " << i;
    }
}

// The file image of `count` records of random bytes, spare areas included, then `extra`
// bytes. Slot i holds Mood i % 11.
std::vector<uint8_t> LibraryImage(int count, size_t extra) {
    std::mt19937 random(static_cast<uint32_t>(count));
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * kTuneRecordSize + extra, 0xAB);
    for (int slot = 1; slot <= count; ++slot) {
        const auto record = bytes.begin() + (slot - 1) * kTuneRecordSize;
        std::generate(record, record + kTuneRecordSize, [&] { return uint8_t(random()); });
        const uint8_t mood[] = {0, 0, 0, static_cast<uint8_t>(slot % 11)};
        std::copy(std::begin(mood), std::end(mood), record + 1820);
    }
    return bytes;
}

TEST(LibraryFile, LoadKeepsWhatIsThereAndSaveWritesItBack) {
    const std::tuple<const char*, int, size_t, int> cases[] = {
        {"empty file", 0, 0, 0},
        {"partial record only", 0, 2965, 0},
        {"three records and 100 bytes", 3, 100, 3},
        {"2001 records and 7 bytes", 2001, 7, 2000}};
    for (const auto& [name, records, extraBytes, tunes] : cases) {
        SCOPED_TRACE(name);
        TempFolder folder;
        std::vector<uint8_t> image = LibraryImage(records, extraBytes);
        WriteBytes(folder / kLibraryFileName, image);
        auto library = std::make_unique<Library>();
        DiskFileSystem files;
        const LibraryLoadResult result = LoadLibrary(*library, files, folder.path());
        EXPECT_EQ(result.error, kNoErr);
        EXPECT_FALSE(result.created);
        const size_t ignored = image.size() - static_cast<size_t>(tunes) * kTuneRecordSize;
        EXPECT_EQ(result.ignoredBytes, ignored);
        EXPECT_EQ(library->TuneCount, tunes);
        EXPECT_EQ(library->CurrentTuneIndex, tunes);
        std::array<int32_t, 10> counts{};
        for (int slot = 1; slot <= tunes; ++slot) {
            EXPECT_EQ((*library)[slot].AddedSerial, slot);
            const uint8_t serial[] = {0, 0, uint8_t(slot >> 8), uint8_t(slot)};
            std::copy(std::begin(serial), std::end(serial),
                      image.begin() + slot * kTuneRecordSize - 4);
            if (slot % 11 >= 1 && slot % 11 <= 9) {
                ++counts[slot % 11];  // moods 0 and 10 are counted nowhere
            }
        }
        EXPECT_EQ(library->MoodCounts, counts);

        // Every byte comes back; a partial record is kept aside by every save, once; an
        // empty library removes the file.
        for (int save = 0; save < 2; ++save) {
            ASSERT_EQ(SaveLibrary(*library, files, folder.path()), kNoErr);
        }
        EXPECT_EQ(ReadBytes(folder / kLibraryFileName),
                  std::vector<uint8_t>(image.begin(), image.begin() + tunes * kTuneRecordSize));
        EXPECT_EQ(std::filesystem::exists(folder / kLibraryFileName), tunes > 0);
        EXPECT_EQ(ReadBytes(folder / kDamagedTailFileName),
                  std::vector<uint8_t>(image.end() - static_cast<long>(ignored), image.end()));
        EXPECT_EQ(std::filesystem::exists(folder / kDamagedTailFileName), ignored > 0);
    }
}

// First start, a vanished folder, a folder where the file should be.
TEST(LibraryFile, MissingAndMisplacedFiles) {
    TempFolder home;
    DiskFileSystem files;
    auto library = std::make_unique<Library>();
    const auto folder = home / "deeper" / "Harmovia";
    const LibraryLoadResult first = LoadLibrary(*library, files, folder);
    EXPECT_TRUE(first.created);
    EXPECT_EQ(first.error, kNoErr);
    EXPECT_EQ(library->TuneCount, 0);
    EXPECT_EQ(std::filesystem::file_size(folder / kLibraryFileName), 0u);

    // The whole folder was removed while the program ran: the tunes are written, not dropped.
    library->TuneCount = library->CurrentTuneIndex = 2;
    std::filesystem::remove_all(folder);
    ASSERT_EQ(SaveLibrary(*library, files, folder), kNoErr);
    EXPECT_EQ(std::filesystem::file_size(folder / kLibraryFileName), 2u * kTuneRecordSize);

    std::filesystem::remove(folder / kLibraryFileName);
    std::filesystem::create_directory(folder / kLibraryFileName);
    EXPECT_NE(LoadLibrary(*library, files, folder).error, kNoErr);
    EXPECT_EQ(library->TuneCount, 0);
    library->TuneCount = 1;
    EXPECT_NE(SaveLibrary(*library, files, folder), kNoErr) << "a failure, not success";
    EXPECT_TRUE(std::filesystem::is_directory(folder / kLibraryFileName));
}

// Writes succeed until `budget` bytes have gone out, then fail as a full disk does.
struct FullDisk final : DiskFileSystem {
    FullDisk(size_t b, bool f) : budget(b), failFlush(f) {}
    long WriteSome(int fd, const uint8_t* data, size_t size) override {
        if (budget == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min({size, budget, size_t{4096}});
        budget -= n;
        return DiskFileSystem::WriteSome(fd, data, n);
    }
    int Flush(int fd) override {
        if (failFlush) {
            errno = EIO;
            return -1;
        }
        return DiskFileSystem::Flush(fd);
    }
    size_t budget;
    bool failFlush;
};

TEST(LibraryFile, FailedSaveKeepsThePreviousFile) {
    const std::tuple<const char*, size_t, bool, OsError> cases[] = {
        {"disk full at once", 0, false, kDiskFullErr},
        {"disk full part-way", 3 * kTuneRecordSize + 17, false, kDiskFullErr},
        {"flush fails", SIZE_MAX, true, kIoErr}};
    for (const auto& [name, budget, failFlush, error] : cases) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const auto previous = LibraryImage(4, 0);
        WriteBytes(folder / kLibraryFileName, previous);
        auto library = std::make_unique<Library>();
        library->TuneCount = library->CurrentTuneIndex = 9;
        FullDisk files(budget, failFlush);
        EXPECT_EQ(SaveLibrary(*library, files, folder.path()), error);
        EXPECT_EQ(ReadBytes(folder / kLibraryFileName), previous);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
            << "no temporary file is left behind";
    }
}

}  // namespace
}  // namespace harmovia
