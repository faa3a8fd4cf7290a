#include "tests/support/test_audio.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace harmovia::testing {
namespace {

constexpr auto kTimeLimit = std::chrono::seconds(120);

std::string Number(double value) {
    std::ostringstream out;
    out.precision(10);
    out << value;
    return out.str();
}

std::string LayoutName(int channels) {
    switch (channels) {
        case 1:
            return "mono";
        case 2:
            return "stereo";
        case 6:
            return "5.1";
        default:
            throw std::runtime_error("test audio: unsupported channel count " +
                                     std::to_string(channels));
    }
}

std::string CommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        line += (line.empty() ? "" : " ") + ("'" + argument + "'");
    }
    return line;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A temporary file removed when the object goes.
class ScratchFile {
  public:
    ScratchFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harmovia-ffmpeg-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            throw std::runtime_error("test audio: mkstemp failed");
        }
        ::close(fd);
        path_ = pattern;
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Runs the ffmpeg command without a shell (tag texts may hold any character); ffmpeg's
// messages go to a scratch file and into the exception when it fails.
void Run(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"ffmpeg",    "-nostdin", "-hide_banner",
                                     "-loglevel", "error",    "-y"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);

    ScratchFile messages;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, messages.path().c_str(),
                                     O_WRONLY | O_TRUNC, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("test audio: cannot run ffmpeg (" +
                                 std::string(std::strerror(spawned)) + "): " + CommandLine(argv));
    }
    // A command that never ends (an endless source, say) fails the test instead of
    // hanging it.
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            break;
        }
        if (done < 0 && errno != EINTR) {
            throw std::runtime_error("test audio: waitpid failed: " + CommandLine(argv));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            throw std::runtime_error("test audio: ffmpeg took too long: " + CommandLine(argv));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("test audio: ffmpeg failed: " + CommandLine(argv) + "\n" +
                                 ReadText(messages.path()));
    }
}

// The lavfi graph of one source channel; channels beyond one are copies except for the
// sine's optional second frequency.
std::string SourceGraph(const TestAudio& audio) {
    const std::string rate = std::to_string(audio.sampleRate);
    const std::string seconds = Number(audio.seconds);
    const std::string layout = LayoutName(audio.channels);
    if (!audio.customSource.empty()) {
        return audio.customSource;
    }
    switch (audio.signal) {
        case TestSignal::Sine: {
            std::string expression;
            for (int channel = 0; channel < audio.channels; ++channel) {
                const double frequency = (channel == 1 && audio.rightFrequency > 0)
                                             ? audio.rightFrequency
                                             : audio.frequency;
                expression += (channel == 0 ? "" : "|") + Number(audio.amplitude) + "*sin(2*PI*" +
                              Number(frequency) + "*t)";
            }
            return "aevalsrc=" + expression + ":s=" + rate + ":d=" + seconds + ":c=" + layout;
        }
        case TestSignal::Silence:
            return "anullsrc=r=" + rate + ":cl=" + layout;
        case TestSignal::WhiteNoise:
        case TestSignal::PinkNoise:
            return std::string("anoisesrc=c=") +
                   (audio.signal == TestSignal::WhiteNoise ? "white" : "pink") +
                   ":a=" + Number(audio.amplitude) + ":r=" + rate + ":d=" + seconds + ":seed=12345";
    }
    return {};
}

std::vector<std::string> EncodingArguments(const TestAudio& audio) {
    const std::string kbps = std::to_string(audio.kbps) + "k";
    switch (audio.encoding) {
        case TestEncoding::Mp3Cbr:
        case TestEncoding::Mp3Vbr: {
            std::vector<std::string> arguments = {"-c:a", "libmp3lame"};
            if (audio.encoding == TestEncoding::Mp3Cbr) {
                arguments.insert(arguments.end(), {"-b:a", kbps});
            } else {
                arguments.insert(arguments.end(), {"-q:a", std::to_string(audio.vbrQuality)});
            }
            arguments.insert(arguments.end(),
                             {"-id3v2_version", std::to_string(audio.id3v2Version), "-write_xing",
                              audio.mp3InfoFrame ? "1" : "0", "-f", "mp3"});
            return arguments;
        }
        case TestEncoding::AacM4a: {
            std::vector<std::string> arguments = {"-c:a", "aac", "-aac_pns", "0", "-b:a", kbps};
            if (audio.moovFirst) {
                arguments.insert(arguments.end(), {"-movflags", "+faststart"});
            }
            arguments.insert(arguments.end(), {"-f", "ipod"});
            return arguments;
        }
        case TestEncoding::CafPcm:
            return {"-c:a", "pcm_s16be", "-f", "caf"};
        case TestEncoding::WavPcm:
            return {"-c:a", "pcm_s16le", "-f", "wav"};
    }
    return {};
}

}  // namespace

void RunFfmpeg(const std::vector<std::string>& arguments) {
    Run(arguments);
}

std::filesystem::path MakeTestAudio(const std::filesystem::path& file, const TestAudio& audio) {
    std::vector<std::string> arguments = {"-f", "lavfi", "-i", SourceGraph(audio)};
    arguments.insert(arguments.end(),
                     {"-t", Number(audio.seconds), "-ar", std::to_string(audio.sampleRate), "-ac",
                      std::to_string(audio.channels), "-map_metadata", "-1", "-fflags", "+bitexact",
                      "-flags:a", "+bitexact"});
    for (const auto& [key, value] : audio.tags) {
        arguments.insert(arguments.end(), {"-metadata", key + "=" + value});
    }
    const std::vector<std::string> encoding = EncodingArguments(audio);
    arguments.insert(arguments.end(), encoding.begin(), encoding.end());
    arguments.push_back(file.string());
    Run(arguments);
    return file;
}

std::vector<uint8_t> DecodeWithFfmpeg(const std::filesystem::path& file) {
    ScratchFile output;
    Run({"-i", file.string(), "-map", "0:a:0", "-f", "s16be", "-c:a", "pcm_s16be",
         output.path().string()});
    std::ifstream in(output.path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace harmovia::testing
