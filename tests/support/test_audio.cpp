#include "tests/support/test_audio.h"

#include <sstream>
#include <stdexcept>

#include "tests/support/run_command.h"

namespace harmovia::testing {
namespace {

std::string Number(double value) {
    std::ostringstream out;
    out.precision(10);
    out << value;
    return out.str();
}

// Runs the ffmpeg command with `options` (shell words, quoted where they must be) and returns
// what it wrote to its standard output. A command that never ends (an endless source, say)
// is killed after two minutes, so it fails the test instead of hanging it; a failure throws
// with the command line and ffmpeg's messages.
std::string Run(const std::string& options) {
    const std::string line =
        "timeout -s KILL 120 ffmpeg -nostdin -hide_banner -loglevel error -y " + options;
    CommandRun run = RunCommand(line);
    if (run.status != 0) {
        throw std::runtime_error("test audio: ffmpeg failed (status " + std::to_string(run.status) +
                                 "): " + line + "\n" + run.err);
    }
    return std::move(run.out);
}

// The lavfi graph of the source; channels beyond one are copies.
std::string SourceGraph(const TestAudio& audio) {
    if (!audio.customSource.empty()) {
        return audio.customSource;
    }
    const std::string layout = audio.channels == 1   ? "mono"
                               : audio.channels == 2 ? "stereo"
                                                     : "5.1";
    const std::string rate = std::to_string(audio.sampleRate);
    const std::string length = ":d=" + Number(audio.seconds) + ":";
    switch (audio.signal) {
        case TestSignal::Sine: {
            return "aevalsrc=" + Number(audio.amplitude) + "*sin(2*PI*" + Number(audio.frequency) +
                   "*t):s=" + rate + length + "c=" + layout;
        }
        case TestSignal::Silence:
            return "anullsrc=r=" + rate + ":cl=" + layout;
        case TestSignal::WhiteNoise:
            return "anoisesrc=c=white:a=" + Number(audio.amplitude) + ":r=" + rate + length +
                   "seed=12345";
    }
    return {};
}

std::string EncodingOptions(const TestAudio& audio) {
    const std::string kbps = std::to_string(audio.kbps) + "k";
    switch (audio.encoding) {
        case TestEncoding::Mp3Cbr:
        case TestEncoding::Mp3Vbr:
            return "-c:a libmp3lame " +
                   (audio.encoding == TestEncoding::Mp3Cbr
                        ? "-b:a " + kbps
                        : "-q:a " + std::to_string(audio.vbrQuality)) +
                   " -id3v2_version " + std::to_string(audio.id3v2Version) + " -write_xing " +
                   (audio.mp3InfoFrame ? "1" : "0") + " -f mp3";
        case TestEncoding::AacM4a:
            return "-c:a aac -aac_pns 0 -b:a " + kbps +
                   (audio.moovFirst ? " -movflags +faststart" : "") + " -f ipod";
        case TestEncoding::CafPcm:
            return "-c:a pcm_s16be -f caf";
        case TestEncoding::Flac:
            return "-c:a flac -f flac";
        case TestEncoding::Vorbis:
            return "-c:a libvorbis -b:a " + kbps + " -f ogg";
        case TestEncoding::Opus:
            return "-c:a libopus -b:a " + kbps + " -ar 48000 -f ogg";
        case TestEncoding::WavPcm:
            return "-c:a pcm_s16le -f wav";
        case TestEncoding::AiffPcm:
            return "-c:a pcm_s16be -write_id3v2 1 -f aiff";
    }
    return {};
}

}  // namespace

void RunFfmpeg(const std::vector<std::string>& arguments) {
    std::string options;
    for (const std::string& argument : arguments) {
        options += " " + ShellQuoted(argument);
    }
    Run(options);
}

std::filesystem::path MakeTestAudio(const std::filesystem::path& file, const TestAudio& audio) {
    std::string options = "-f lavfi -i " + ShellQuoted(SourceGraph(audio)) + " -t " +
                          Number(audio.seconds) + " -ar " + std::to_string(audio.sampleRate) +
                          " -ac " + std::to_string(audio.channels) +
                          " -map_metadata -1 -fflags +bitexact -flags:a +bitexact";
    for (const auto& [key, value] : audio.tags) {
        options += " -metadata " + ShellQuoted(key + "=" + value);
    }
    Run(options + " " + EncodingOptions(audio) + " " + ShellQuoted(file.string()));
    return file;
}

std::vector<uint8_t> DecodeWithFfmpeg(const std::filesystem::path& file) {
    const std::string pcm =
        Run("-i " + ShellQuoted(file.string()) + " -map 0:a:0 -f s16be -c:a pcm_s16be pipe:1");
    return {pcm.begin(), pcm.end()};
}

}  // namespace harmovia::testing
