#pragma once

// The tune record: everything the program knows about one tune. The same 2966 bytes are
// the library file's record, so the layout below is a file format. In memory the numbers
// are native; EncodeTuneRecord/DecodeTuneRecord turn them into the file's bytes:
//   - numbers big-endian, except PeakBinDistinctCount and element 0 of PeakBins and of
//     PeakPowers, which the file keeps in little-endian (the original host order);
//   - text slots and spare byte areas byte for byte, so a record that is loaded and
//     saved unchanged comes back with every spare byte as it was.
// VisitTuneFields is the one list of fields with their offsets; encoding, decoding, the
// CLI's JSON and the layout test all walk it.

#include <array>
#include <cstdint>
#include <span>

#include "library/pstr.h"

namespace harmovia {

inline constexpr int kTuneRecordSize = 2966;
inline constexpr int kPeakEntries = 30;  // PeakBins / PeakPowers entries 1..30

// Which reader made the record, and for the kinds whose tags the decoder reads, which
// container (or Ogg codec) the file holds. A .CAF file, which neither tag reader takes,
// gets a kind of its own. 3 is never written. docs/file_kinds.md lists them; a build that
// knows only 1, 2 and 4 shows every other kind as "AAC".
enum FileKindCode : uint16_t {
    kFileKindMp3 = 1,
    kFileKindCaf = 2,
    kFileKindMp4 = 4,
    kFileKindFlac = 5,
    kFileKindVorbis = 6,
    kFileKindOpus = 7,
    kFileKindWav = 8,
    kFileKindAiff = 9,
};

struct TuneRecord {
    std::array<uint8_t, 370> Reserved0{};
    Text255 Title;
    Text255 FileName;
    int16_t VolumeRef = 0;
    int32_t FolderId = 0;
    Text255 Location;
    uint16_t Spare1144 = 0;
    Text255 Artist;
    Text255 Album;
    uint32_t FileSize = 0;
    int32_t DurationSeconds = 0;
    uint16_t Spare1666 = 0;
    uint16_t ByteRateIndex = 0;
    uint16_t Spare1670 = 0;
    uint16_t Spare1672 = 0;
    uint32_t Spare1674 = 0;
    Text63 Genre;
    int16_t GenreCode = 0;
    Text63 GenreCategory;
    uint32_t Spare1808 = 0;
    int32_t ActivityLevel = 0;
    int32_t MoodEnergy = 0;
    int32_t Mood = 0;
    int32_t PitchIndex = 0;
    int32_t ActivityTens = 0;
    uint16_t Spare1832 = 0;
    uint16_t MoodColourRed = 0;
    uint16_t Spare1836 = 0;
    uint16_t MoodColourGreen = 0;
    uint16_t Spare1840 = 0;
    uint16_t MoodColourBlue = 0;
    uint16_t Spare1844 = 0;
    uint16_t FileKind = 0;
    std::array<int32_t, kPeakEntries + 1> PeakBins{};  // entries 1..30; [0] never used
    std::array<uint8_t, 120> Spare1972{};
    std::array<int16_t, kPeakEntries + 1> PeakPowers{};  // entries 1..30; [0] never used
    std::array<uint8_t, 62> Spare2154{};
    std::array<uint16_t, 30> SpareWords2216{};
    std::array<uint8_t, 60> Spare2276{};
    int16_t PeakBinMode = 0;
    int32_t PeakBinTrimmedMean = 0;
    int32_t PeakBinMean = 0;
    int32_t PeakPowerMean = 0;
    int32_t DistinctRatio = 0;
    std::array<uint8_t, 4> Spare2354{};
    int32_t SignificantBinMean = 0;
    int32_t PeakBinDistinctCount = 0;
    int32_t FirstWindowCentroid = 0;
    int32_t SignificantBinSum = 0;
    int32_t FirstWindowDistinct = 0;
    int32_t DistinctBinCountRaw = 0;
    int32_t FirstWindowSignificant = 0;
    int32_t SignificantCountRaw = 0;
    int32_t DistinctBinCount = 0;
    int32_t DistinctBinMean = 0;
    int32_t SignificantCount = 0;
    int32_t Centroid = 0;
    int32_t Reserved2406 = 0;
    int32_t Reserved2410 = 0;
    uint8_t LastAddedFlag = 0;
    uint8_t Spare2415 = 0;
    uint8_t Reserved2416 = 0;
    // Spare to older builds, which keep it byte for byte: the mark of a mood set by hand,
    // holding the measured mood (analysis/mood_by_hand.h, docs/record_spare_bytes.md).
    uint8_t MoodMark = 0;
    std::array<uint32_t, 4> Spare2418{};
    std::array<uint8_t, 256> Spare2434{};
    Text255 DurationText;
    int32_t SmartPlayCount = 0;
    int32_t RecordIndex = 0;
    uint16_t Rating = 0;
    uint16_t Checked = 0;
    int32_t Similarity = 0;
    int32_t AddedSerial = 0;

    bool operator==(const TuneRecord&) const = default;
};

// How a field is kept in the file.
enum class FieldOrder {
    BigEndian,  // numbers and number arrays
    HostOrder,  // little-endian: PeakBinDistinctCount, element 0 of the peak arrays
    Bytes,      // text slots, spare areas, single bytes
};

// Whether a field means something to the program or is carried unread.
enum class FieldRole { Data, Spare };

// Calls, in offset order, one of these on `visitor` for every byte range of the record:
//   visitor.Number(offset, name, role, order, T& value)        T an integer type
//   visitor.NumberArray(offset, name, role, std::span<T> values) big-endian entries
//   visitor.Text(offset, name, TextSlot<N>& slot)
//   visitor.Bytes(offset, name, role, std::span<uint8_t> bytes)
// Names are the record's field names; the unnamed element 0 of the peak arrays is visited
// as a Number with an empty name. Works for const and non-const records.
template <class Record, class Visitor>
void VisitTuneFields(Record& r, Visitor& v) {
    using enum FieldRole;
    using enum FieldOrder;
    v.Bytes(0, "Reserved0", Spare, std::span(r.Reserved0));
    v.Text(370, "Title", r.Title);
    v.Text(626, "FileName", r.FileName);
    v.Number(882, "VolumeRef", Data, BigEndian, r.VolumeRef);
    v.Number(884, "FolderId", Data, BigEndian, r.FolderId);
    v.Text(888, "Location", r.Location);
    v.Number(1144, "Spare1144", Spare, BigEndian, r.Spare1144);
    v.Text(1146, "Artist", r.Artist);
    v.Text(1402, "Album", r.Album);
    v.Number(1658, "FileSize", Data, BigEndian, r.FileSize);
    v.Number(1662, "DurationSeconds", Data, BigEndian, r.DurationSeconds);
    v.Number(1666, "Spare1666", Spare, BigEndian, r.Spare1666);
    v.Number(1668, "ByteRateIndex", Data, BigEndian, r.ByteRateIndex);
    v.Number(1670, "Spare1670", Spare, BigEndian, r.Spare1670);
    v.Number(1672, "Spare1672", Spare, BigEndian, r.Spare1672);
    v.Number(1674, "Spare1674", Spare, BigEndian, r.Spare1674);
    v.Text(1678, "Genre", r.Genre);
    v.Number(1742, "GenreCode", Data, BigEndian, r.GenreCode);
    v.Text(1744, "GenreCategory", r.GenreCategory);
    v.Number(1808, "Spare1808", Spare, BigEndian, r.Spare1808);
    v.Number(1812, "ActivityLevel", Data, BigEndian, r.ActivityLevel);
    v.Number(1816, "MoodEnergy", Data, BigEndian, r.MoodEnergy);
    v.Number(1820, "Mood", Data, BigEndian, r.Mood);
    v.Number(1824, "PitchIndex", Data, BigEndian, r.PitchIndex);
    v.Number(1828, "ActivityTens", Data, BigEndian, r.ActivityTens);
    v.Number(1832, "Spare1832", Spare, BigEndian, r.Spare1832);
    v.Number(1834, "MoodColourRed", Data, BigEndian, r.MoodColourRed);
    v.Number(1836, "Spare1836", Spare, BigEndian, r.Spare1836);
    v.Number(1838, "MoodColourGreen", Data, BigEndian, r.MoodColourGreen);
    v.Number(1840, "Spare1840", Spare, BigEndian, r.Spare1840);
    v.Number(1842, "MoodColourBlue", Data, BigEndian, r.MoodColourBlue);
    v.Number(1844, "Spare1844", Spare, BigEndian, r.Spare1844);
    v.Number(1846, "FileKind", Data, BigEndian, r.FileKind);
    v.Number(1848, "", Spare, HostOrder, r.PeakBins[0]);
    v.NumberArray(1852, "PeakBins", Data, std::span(r.PeakBins).subspan(1));
    v.Bytes(1972, "Spare1972", Spare, std::span(r.Spare1972));
    v.Number(2092, "", Spare, HostOrder, r.PeakPowers[0]);
    v.NumberArray(2094, "PeakPowers", Data, std::span(r.PeakPowers).subspan(1));
    v.Bytes(2154, "Spare2154", Spare, std::span(r.Spare2154));
    v.NumberArray(2216, "SpareWords2216", Spare, std::span(r.SpareWords2216));
    v.Bytes(2276, "Spare2276", Spare, std::span(r.Spare2276));
    v.Number(2336, "PeakBinMode", Data, BigEndian, r.PeakBinMode);
    v.Number(2338, "PeakBinTrimmedMean", Data, BigEndian, r.PeakBinTrimmedMean);
    v.Number(2342, "PeakBinMean", Data, BigEndian, r.PeakBinMean);
    v.Number(2346, "PeakPowerMean", Data, BigEndian, r.PeakPowerMean);
    v.Number(2350, "DistinctRatio", Data, BigEndian, r.DistinctRatio);
    v.Bytes(2354, "Spare2354", Spare, std::span(r.Spare2354));
    v.Number(2358, "SignificantBinMean", Data, BigEndian, r.SignificantBinMean);
    v.Number(2362, "PeakBinDistinctCount", Data, HostOrder, r.PeakBinDistinctCount);
    v.Number(2366, "FirstWindowCentroid", Data, BigEndian, r.FirstWindowCentroid);
    v.Number(2370, "SignificantBinSum", Data, BigEndian, r.SignificantBinSum);
    v.Number(2374, "FirstWindowDistinct", Data, BigEndian, r.FirstWindowDistinct);
    v.Number(2378, "DistinctBinCountRaw", Data, BigEndian, r.DistinctBinCountRaw);
    v.Number(2382, "FirstWindowSignificant", Data, BigEndian, r.FirstWindowSignificant);
    v.Number(2386, "SignificantCountRaw", Data, BigEndian, r.SignificantCountRaw);
    v.Number(2390, "DistinctBinCount", Data, BigEndian, r.DistinctBinCount);
    v.Number(2394, "DistinctBinMean", Data, BigEndian, r.DistinctBinMean);
    v.Number(2398, "SignificantCount", Data, BigEndian, r.SignificantCount);
    v.Number(2402, "Centroid", Data, BigEndian, r.Centroid);
    v.Number(2406, "Reserved2406", Data, BigEndian, r.Reserved2406);
    v.Number(2410, "Reserved2410", Data, BigEndian, r.Reserved2410);
    v.Number(2414, "LastAddedFlag", Data, Bytes, r.LastAddedFlag);
    v.Number(2415, "Spare2415", Spare, Bytes, r.Spare2415);
    v.Number(2416, "Reserved2416", Data, Bytes, r.Reserved2416);
    v.Number(2417, "MoodMark", Spare, Bytes, r.MoodMark);
    v.NumberArray(2418, "Spare2418", Spare, std::span(r.Spare2418));
    v.Bytes(2434, "Spare2434", Spare, std::span(r.Spare2434));
    v.Text(2690, "DurationText", r.DurationText);
    v.Number(2946, "SmartPlayCount", Data, BigEndian, r.SmartPlayCount);
    v.Number(2950, "RecordIndex", Data, BigEndian, r.RecordIndex);
    v.Number(2954, "Rating", Data, BigEndian, r.Rating);
    v.Number(2956, "Checked", Data, BigEndian, r.Checked);
    v.Number(2958, "Similarity", Data, BigEndian, r.Similarity);
    v.Number(2962, "AddedSerial", Data, BigEndian, r.AddedSerial);
}

// Writes the record's 2966 file bytes.
void EncodeTuneRecord(const TuneRecord& record, std::span<uint8_t, kTuneRecordSize> out);
// Reads a record from its 2966 file bytes.
void DecodeTuneRecord(std::span<const uint8_t, kTuneRecordSize> in, TuneRecord& record);

}  // namespace harmovia
