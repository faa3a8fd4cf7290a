// Reads what a null sink's monitor heard (raw s16le, stereo, 44100 Hz, as parec writes it)
// and prints, as key=value lines, where sound starts and stops, the silent runs inside it
// and where the second of two tones takes over from the first. The listening trial
// (listening_trial, next to this file) turns these sample indices into milliseconds.
//
//   recording_gaps [--threshold N] [--min-silence-ms MS] [--tone1-hz F] [--tone2-hz F] FILE
//   recording_gaps --origin FILE [--watch-ms MS]
//
// The second form watches a file that parec has just started writing and prints the
// wall-clock time (microseconds since the epoch) at which its frame 0 was heard.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// 5 ms: a 440 Hz tone still crosses zero four times in one block.
constexpr int64_t kBlockFrames = kRate / 200;
// A tone must hold for this many blocks in a row before it counts: an encoder's splice or
// a click is not a tune.
constexpr int kSteadyBlocks = 3;

struct Options {
    int threshold = 64;  // -54 dBFS: far below a tone, far above dither or codec noise
    double minSilenceMs = 1.0;
    double tone1Hz = 440;
    double tone2Hz = 660;
    std::string file;
};

struct Frame {
    int16_t left;
    int16_t right;
};

struct SilentRun {
    int64_t start;
    int64_t length;
};

enum class Tone { None, First, Second };

bool Silent(const Frame& f, int threshold) {
    return std::abs(int{f.left}) < threshold && std::abs(int{f.right}) < threshold;
}

std::optional<std::vector<Frame>> ReadRecording(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<Frame> frames(bytes / sizeof(Frame));
    in.read(reinterpret_cast<char*>(frames.data()),
            static_cast<std::streamsize>(frames.size() * sizeof(Frame)));
    return frames;
}

// The block's pitch from the spacing of the left channel's zero crossings: exact to a few
// hertz even over 5 ms, where counting crossings alone would not tell 440 from 660.
Tone ToneOfBlock(const std::vector<Frame>& frames, int64_t start, const Options& options) {
    int64_t first = -1;
    int64_t last = -1;
    int crossings = 0;
    int silent = 0;
    for (int64_t i = start; i < start + kBlockFrames; ++i) {
        silent += Silent(frames[i], options.threshold) ? 1 : 0;
        if (i > start && (frames[i - 1].left < 0) != (frames[i].left < 0)) {
            first = first < 0 ? i : first;
            last = i;
            ++crossings;
        }
    }
    // A tone is below the threshold only right at its zero crossings.
    if (silent > 8 || crossings < 3) {
        return Tone::None;
    }
    const double hz = (crossings - 1) * double{kRate} / (2.0 * static_cast<double>(last - first));
    const auto near = [hz](double tone) { return std::abs(std::log2(hz / tone)) < 0.2; };
    return near(options.tone1Hz) ? Tone::First : near(options.tone2Hz) ? Tone::Second : Tone::None;
}

// The first block from which `tone` holds steady, or -1.
int64_t FirstSteadyBlock(const std::vector<Tone>& tones, Tone tone) {
    int run = 0;
    for (size_t b = 0; b < tones.size(); ++b) {
        run = tones[b] == tone ? run + 1 : 0;
        if (run == kSteadyBlocks) {
            return static_cast<int64_t>(b) - kSteadyBlocks + 1;
        }
    }
    return -1;
}

int Analyse(const Options& options) {
    const auto read = ReadRecording(options.file);
    if (!read) {
        std::fprintf(stderr, "recording_gaps: cannot read %s\n", options.file.c_str());
        return 1;
    }
    const std::vector<Frame>& frames = *read;
    const auto frameCount = static_cast<int64_t>(frames.size());
    std::printf("rate=%d\nframes=%lld\n", kRate, static_cast<long long>(frameCount));

    const auto audible = [&](int64_t i) { return !Silent(frames[i], options.threshold); };
    int64_t firstAudible = 0;
    while (firstAudible < frameCount && !audible(firstAudible)) {
        ++firstAudible;
    }
    if (firstAudible == frameCount) {
        std::printf("first_audible=-1\nlast_audible=-1\n");
        return 0;
    }
    int64_t lastAudible = frameCount - 1;
    while (!audible(lastAudible)) {
        --lastAudible;
    }

    // Silent runs inside the sound; shorter ones are a tone's own zero crossings.
    const auto minSilence = static_cast<int64_t>(options.minSilenceMs * kRate / 1000);
    std::vector<SilentRun> runs;
    int64_t silentFrames = 0;
    for (int64_t i = firstAudible; i <= lastAudible;) {
        if (audible(i)) {
            ++i;
            continue;
        }
        const int64_t start = i;
        while (!audible(i)) {
            ++i;
        }
        if (i - start >= minSilence) {
            runs.push_back({start, i - start});
            silentFrames += i - start;
        }
    }
    std::printf("first_audible=%lld\nlast_audible=%lld\naudible_frames=%lld\nsilent_runs=%zu\n",
                static_cast<long long>(firstAudible), static_cast<long long>(lastAudible),
                static_cast<long long>(lastAudible - firstAudible + 1 - silentFrames), runs.size());
    for (const SilentRun& run : runs) {
        std::printf("silence=%lld,%lld\n", static_cast<long long>(run.start),
                    static_cast<long long>(run.length));
    }

    std::vector<Tone> tones(static_cast<size_t>(frameCount / kBlockFrames));
    for (size_t b = 0; b < tones.size(); ++b) {
        tones[b] = ToneOfBlock(frames, static_cast<int64_t>(b) * kBlockFrames, options);
    }
    const int64_t tone1Block = FirstSteadyBlock(tones, Tone::First);
    const int64_t tone2Block = FirstSteadyBlock(tones, Tone::Second);
    std::printf("tone1_first_block=%lld\n", static_cast<long long>(tone1Block * kBlockFrames));
    if (tone2Block < 0) {
        std::printf("tone2_first=-1\n");
        return 0;
    }
    // Tune 2 begins after the last silence in the block before its first steady block; with
    // no silence there (one tone cut straight into the other) the block edge is exact to 5 ms.
    const int64_t blockStart = tone2Block * kBlockFrames;
    int64_t tone2First = blockStart;
    while (tone2First > std::max<int64_t>(0, blockStart - kBlockFrames) &&
           audible(tone2First - 1)) {
        --tone2First;
    }
    // The block may itself open with the last few silent samples.
    while (!audible(tone2First)) {
        ++tone2First;
    }
    // Tune 1 ends with the last sound of its last block before tune 2.
    int64_t tone1Last = -1;
    for (int64_t b = tone2Block - 1; b >= 0 && tone1Last < 0; --b) {
        if (tones[static_cast<size_t>(b)] == Tone::First) {
            tone1Last = (b + 1) * kBlockFrames - 1;
            while (tone1Last + 1 < tone2First && audible(tone1Last + 1)) {
                ++tone1Last;
            }
        }
    }
    int64_t gap = 0;
    if (tone1Last >= 0) {
        for (const SilentRun& run : runs) {
            if (run.start > tone1Last && run.start + run.length <= tone2First) {
                gap = std::max(gap, run.length);
            }
        }
    }
    std::printf("tone1_last=%lld\ntone2_first=%lld\ngap=%lld\n", static_cast<long long>(tone1Last),
                static_cast<long long>(tone2First), static_cast<long long>(gap));
    return 0;
}

int64_t WallMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Frame k of the recording was heard no later than a moment at which the file already
// held it: origin <= t - k / rate for every look at the size. The smallest such bound comes
// from a look right after a write, so it is late by little more than parec's own delivery
// (a fragment of --latency-msec) plus the time between looks (0.2 ms here).
int WatchOrigin(const std::string& file, int watchMs) {
    // parec takes a moment to connect; the watch starts with its first write.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::optional<int64_t> origin;
    uintmax_t lastSize = 0;
    while (std::chrono::steady_clock::now() < until) {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(file, error);
        const int64_t now = WallMicroseconds();
        if (!error && size > lastSize) {
            if (lastSize == 0) {
                until = std::chrono::steady_clock::now() + std::chrono::milliseconds(watchMs);
            }
            lastSize = size;
            const auto frames = static_cast<int64_t>(size / sizeof(Frame));
            const int64_t bound = now - frames * 1000000 / kRate;
            origin = origin ? std::min(*origin, bound) : bound;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!origin) {
        std::fprintf(stderr, "recording_gaps: nothing was written to %s\n", file.c_str());
        return 1;
    }
    std::printf("origin_us=%lld\n", static_cast<long long>(*origin));
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: recording_gaps [--threshold N] [--min-silence-ms MS] [--tone1-hz F] "
                 "[--tone2-hz F] FILE\n"
                 "       recording_gaps --origin FILE [--watch-ms MS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::optional<std::string> originOf;
    int watchMs = 500;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--threshold" && hasValue) {
            options.threshold = std::atoi(argv[++i]);
        } else if (arg == "--min-silence-ms" && hasValue) {
            options.minSilenceMs = std::atof(argv[++i]);
        } else if (arg == "--tone1-hz" && hasValue) {
            options.tone1Hz = std::atof(argv[++i]);
        } else if (arg == "--tone2-hz" && hasValue) {
            options.tone2Hz = std::atof(argv[++i]);
        } else if (arg == "--origin" && hasValue) {
            originOf = argv[++i];
        } else if (arg == "--watch-ms" && hasValue) {
            watchMs = std::atoi(argv[++i]);
        } else if (!arg.starts_with("--") && options.file.empty()) {
            options.file = arg;
        } else {
            return Usage();
        }
    }
    if (originOf) {
        return WatchOrigin(*originOf, watchMs);
    }
    if (options.file.empty() || options.threshold <= 0 || options.tone1Hz <= 0 ||
        options.tone2Hz <= 0) {
        return Usage();
    }
    return Analyse(options);
}
