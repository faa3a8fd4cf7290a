#pragma once

// Where the frames of an MPEG audio stream (MP3) lie in its file, found by walking the
// frame headers. FFmpeg finds them by demuxing every frame, which costs about a
// microsecond a frame; the walk reads the same headers for a small part of that, and the
// movie framework hands the positions to FFmpeg as its seek index.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace harmovia {

struct MpegFrameHeader {
    int bytes = 0;            // the whole frame, header included
    int samplesPerFrame = 0;  // 384, 576 or 1152
    uint32_t streamBits = 0;  // version, layer and sample rate: equal in every frame
};

// The header in the four bytes `word` (first byte highest); nothing for a word that is not
// a header of a fixed bit rate (free-format frames have no size in their header).
std::optional<MpegFrameHeader> ParseMpegFrameHeader(uint32_t word);

struct MpegAudioFrames {
    int64_t frameCount = 0;
    int samplesPerFrame = 0;
    int64_t step = 1;                // `positions` holds frames 0, step, 2 step, ...
    std::vector<int64_t> positions;  // byte offsets in the file
};

// Walks the frames of `file` from the one at byte `firstFrame`. Returns nothing unless
// they run back to back, all with the same version, layer and sample rate, exactly to the
// end of the file or to an ID3v1 tag filling its last 128 bytes: anything else (junk, a
// cut frame, other trailing tags) is left to a full demux. At most about `maxPositions`
// positions are kept; a longer stream keeps every step-th. Never reads past the file.
std::optional<MpegAudioFrames> WalkMpegAudioFrames(const std::filesystem::path& file,
                                                   int64_t firstFrame, int64_t maxPositions);

}  // namespace harmovia
