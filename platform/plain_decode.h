#pragma once

// The least FFmpeg work that decodes the same windows the measurement takes: one decoder
// for the whole file, a plain seek to each start, frames counted and dropped, no pre-roll,
// no exact placement, no conversion. The decode benchmark measures the movie framework
// against it; the program itself does not use it.

#include <cstdint>
#include <filesystem>
#include <span>

namespace harmovia {

// Decodes one second from each start (a fraction of the file's length, as FFmpeg
// estimates it). Returns the number of sample frames decoded, or -1 when the file cannot
// be opened or has no decodable audio.
int64_t DecodeSecondsPlainly(const std::filesystem::path& file,
                             std::span<const double> startFractions);

}  // namespace harmovia
