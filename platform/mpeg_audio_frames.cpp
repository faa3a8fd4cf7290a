#include "platform/mpeg_audio_frames.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

// Bit rates in kbit/s by [MPEG-1 ? 0 : 1][layer 1..3 - 1][index]; index 0 is free format.
constexpr int kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr int kMpeg1SampleRates[3] = {44100, 48000, 32000};

constexpr uint32_t kSyncBits = 0xFFE00000;
constexpr uint32_t kStreamBitsMask = kSyncBits | (3u << 19) | (3u << 17) | (3u << 10);
constexpr int64_t kId3v1Size = 128;
constexpr size_t kChunkBytes = 256 * 1024;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Reads up to `size` bytes at `offset`; the count read, or -1 on an error.
int64_t ReadAt(int fd, uint8_t* data, size_t size, int64_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, data + done, size - done, offset + done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

std::optional<MpegFrameHeader> ParseMpegFrameHeader(uint32_t word) {
    if ((word & kSyncBits) != kSyncBits) {
        return std::nullopt;
    }
    const int version = (word >> 19) & 3;  // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
    const int layerBits = (word >> 17) & 3;
    const int rateIndex = (word >> 12) & 15;
    const int sampleRateIndex = (word >> 10) & 3;
    if (version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 ||
        sampleRateIndex == 3) {
        return std::nullopt;
    }
    const int layer = 4 - layerBits;
    const bool mpeg1 = version == 3;
    const int sampleRate = kMpeg1SampleRates[sampleRateIndex] >> (version == 3   ? 0
                                                                  : version == 2 ? 1
                                                                                 : 2);
    const int64_t bitRate = kBitRates[mpeg1 ? 0 : 1][layer - 1][rateIndex] * int64_t{1000};
    const int padding = (word >> 9) & 1;

    MpegFrameHeader header;
    header.streamBits = word & kStreamBitsMask;
    if (layer == 1) {
        header.bytes = static_cast<int>((12 * bitRate / sampleRate + padding) * 4);
        header.samplesPerFrame = 384;
    } else if (layer == 2 || mpeg1) {
        header.bytes = static_cast<int>(144 * bitRate / sampleRate + padding);
        header.samplesPerFrame = 1152;
    } else {
        header.bytes = static_cast<int>(72 * bitRate / sampleRate + padding);
        header.samplesPerFrame = 576;
    }
    return header;
}

std::optional<MpegAudioFrames> WalkMpegAudioFrames(const std::filesystem::path& file,
                                                   int64_t firstFrame, int64_t maxPositions) {
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        firstFrame < 0 || firstFrame >= status.st_size || maxPositions < 1) {
        return std::nullopt;
    }
    int64_t audioEnd = status.st_size;
    if (audioEnd - firstFrame >= kId3v1Size) {
        std::array<uint8_t, 3> tag{};
        if (ReadAt(fd.get(), tag.data(), tag.size(), audioEnd - kId3v1Size) == 3 &&
            std::memcmp(tag.data(), "TAG", 3) == 0) {
            audioEnd -= kId3v1Size;
        }
    }

    MpegAudioFrames frames;
    std::vector<uint8_t> chunk(kChunkBytes);
    int64_t chunkStart = firstFrame;
    int64_t chunkEnd = firstFrame;  // nothing read yet
    uint32_t streamBits = 0;
    int64_t position = firstFrame;
    while (position < audioEnd) {
        if (position + 4 > chunkEnd) {
            const int64_t got = ReadAt(fd.get(), chunk.data(), chunk.size(), position);
            if (got < 4) {
                return std::nullopt;
            }
            chunkStart = position;
            chunkEnd = position + got;
        }
        const uint8_t* bytes = chunk.data() + (position - chunkStart);
        const uint32_t word = static_cast<uint32_t>(bytes[0]) << 24 |
                              static_cast<uint32_t>(bytes[1]) << 16 |
                              static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
        const std::optional<MpegFrameHeader> header = ParseMpegFrameHeader(word);
        if (!header || (frames.frameCount > 0 && header->streamBits != streamBits) ||
            position + header->bytes > audioEnd) {
            return std::nullopt;
        }
        if (frames.frameCount == 0) {
            streamBits = header->streamBits;
            frames.samplesPerFrame = header->samplesPerFrame;
        }
        if (frames.frameCount % frames.step == 0) {
            frames.positions.push_back(position);
            // Halve the kept positions, as FFmpeg thins its own index.
            if (static_cast<int64_t>(frames.positions.size()) >= 2 * maxPositions) {
                for (size_t i = 0; 2 * i < frames.positions.size(); ++i) {
                    frames.positions[i] = frames.positions[2 * i];
                }
                frames.positions.resize((frames.positions.size() + 1) / 2);
                frames.step *= 2;
            }
        }
        ++frames.frameCount;
        position += header->bytes;
    }
    if (frames.frameCount == 0) {
        return std::nullopt;
    }
    return frames;
}

}  // namespace harmovia
