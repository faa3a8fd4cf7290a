#pragma once

// The movie framework the program uses: FFmpeg's demuxers and decoders.
//
// Files: MP3, MPEG-4 audio (.m4a), Core Audio Format (.caf), and also ADTS AAC, WAVE and
// AIFF; the content decides, not the name. Other containers (playlists, video formats,
// anything that could make FFmpeg open further files or URLs) are refused, and only local
// files are read.
//
// OpenMovie results: kFileNotFoundErr for a missing file, kNotAFileErr for a folder, pipe
// or device, the errno's code when the file cannot be read (kAccessDeniedErr), kIoErr when
// it holds no audio FFmpeg can decode, kMemFullErr when memory runs out.
//
// Time: movies count 1/600 s. A tune's length is the number of sample frames a decode from
// the start gives once the encoder's priming and padding are removed, in those units
// rounded down. MPEG-4 and CAF record it; an MP3 is walked frame by frame when it is
// opened (its headers only; a file with junk between frames is demuxed whole instead).
//
// Extraction: ExtractSecond(start) gives the frames from floor(start * rate / 600) on, one
// second's worth (rate frames) or fewer at the end of the tune, at the file's own rate and
// channel count, as 16-bit samples. They are exactly the frames a decode from the start of
// the file gives at that position (Opus: within one step of them): each extraction seeks a little earlier, decodes with a
// fresh decoder and drops what precedes the start, so a window does not depend on which
// windows were extracted before. Frames are placed by their timestamps: a packet the
// decoder rejects leaves silence, and the frames after it stay where they belong. A start
// at or past the end gives a block without frames. Non-zero results: kIoErr when reading
// or decoding fails or yields nothing for the window, kEofErr when the file ends before
// the length its container promised (a cut file), kMemFullErr when the block cannot be had.
//
// Threads: the framework and its movies share no mutable state; different movies may be
// used on different threads at once, one thread per movie at a time. EnterMovies sets
// FFmpeg's process-wide log level to quiet: call it once before movies are opened.

#include <memory>

#include "platform/movie.h"

namespace harmovia {

std::unique_ptr<MovieFramework> MakeFfmpegMovieFramework();

}  // namespace harmovia
