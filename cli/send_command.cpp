#include "cli/send_command.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

#include "cli/terminal_text.h"
#include "cli/view_request.h"
#include "export/desktop_open.h"
#include "export/osascript_runner.h"
#include "export/send_playlist.h"
#include "library/mac_roman.h"

namespace harmovia {
namespace {

constexpr const char* kOptionsText =
    "send options:\n"
    "  --name NAME  the playlist's name (default: the one the send sheet proposes)\n"
    "  --count N    send the checked tunes among the first N rows (default: all rows)\n"
    "  --dry-run    write and run nothing: print the scripts, then the playlist file\n"
    "  --open       open the written playlist in the default music player (xdg-open)\n";

struct SendOptions {
    std::optional<std::string> name;  // UTF-8
    std::optional<int32_t> count;
    bool dryRun = false;
    bool open = false;
};

// Keeps the playlist file in memory: a dry run writes nothing.
class DryRunFileSystem final : public DiskFileSystem {
  public:
    OsError WriteFileAtomically(const std::filesystem::path& path,
                                std::span<const uint8_t> bytes) override {
        written.emplace_back(path, std::string(bytes.begin(), bytes.end()));
        return kNoErr;
    }
    OsError RemoveFile(const std::filesystem::path&) override { return kNoErr; }
    OsError CreateFolders(const std::filesystem::path&) override { return kNoErr; }
    OsError TouchFile(const std::filesystem::path&) override { return kNoErr; }

    std::vector<std::pair<std::filesystem::path, std::string>> written;
};

int Usage(std::FILE* err, std::string_view reason) {
    return ReportProblem(err, "send", reason, 2);
}

int Fail(std::FILE* err, std::string_view reason) {
    return ReportProblem(err, "send", reason, 1);
}

std::optional<std::string> ParseSendOptions(const std::vector<std::string>& rest,
                                            SendOptions& options) {
    for (size_t i = 0; i < rest.size(); ++i) {
        const std::string& arg = rest[i];
        if (arg == "--dry-run" || arg == "--open") {
            (arg == "--open" ? options.open : options.dryRun) = true;
            continue;
        }
        if (arg != "--name" && arg != "--count") {
            return "unknown argument \"" + arg + "\"";
        }
        if (i + 1 >= rest.size()) {
            return arg + " needs a value";
        }
        const std::string& value = rest[++i];
        if (arg == "--name") {
            if (value.empty()) {
                return std::string("the playlist name is empty");
            }
            options.name = value;
            continue;
        }
        int32_t count = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
        if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
            return std::string("the count must be a whole number");
        }
        options.count = count;
    }
    return std::nullopt;
}

// A script as a terminal shows it: its carriage returns as line feeds.
std::string ScriptLines(std::string script) {
    for (char& c : script) {
        if (c == '\r') {
            c = '\n';
        }
    }
    return script;
}

void PrintDryRun(const RecordingScriptRunner& runner, const DryRunFileSystem& files,
                 std::FILE* out) {
    const size_t count = runner.scripts.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string lines = ScriptLines(runner.scripts[i]);
        std::fprintf(out, "-- script %zu of %zu\n", i + 1, count);
        std::fwrite(lines.data(), 1, lines.size(), out);
    }
    for (const auto& [path, bytes] : files.written) {
        std::fprintf(out, "-- playlist file %s\n", path.c_str());
        std::fwrite(bytes.data(), 1, bytes.size(), out);
    }
}

}  // namespace

const char* SendOptionsUsage() {
    return kOptionsText;
}

int RunSendCommand(const std::vector<std::string>& args, const Library& library,
                   RandomSource& random, const EnvironmentLookup& environment, std::FILE* out,
                   std::FILE* err) {
    ViewRequest request;
    std::vector<std::string> rest;
    if (const auto problem = ParseViewRequest(args, request, rest)) {
        return Usage(err, *problem);
    }
    SendOptions options;
    if (const auto problem = ParseSendOptions(rest, options)) {
        return Usage(err, *problem);
    }
    ViewState view;
    const ViewBuildResult built = BuildRequestedView(request, library, random, view);
    if (built.status == 2) {
        return Usage(err, built.reason);
    }
    if (built.status != 0) {
        return Fail(err, built.reason);
    }
    if (view.List.ViewCount < 1) {
        // As the sheet does with an empty list: nothing is sent and nothing is written.
        std::fprintf(err, "harmovia-cli send: empty view: %s; nothing sent\n",
                     built.emptyNote.c_str());
        return 0;
    }

    const std::string name =
        options.name ? Utf8ToMacRoman(*options.name) : ProposedPlaylistName(view).str();
    const int32_t viewCount = view.List.ViewCount;
    const int32_t n = options.count && *options.count > 0 && *options.count <= viewCount
                          ? *options.count
                          : viewCount;

    RecordingNotices notices;
    OsascriptRunner osascript(environment);
    RecordingScriptRunner recorder;
    DiskFileSystem disk;
    DryRunFileSystem dryFiles;
    ScriptRunner& runner = options.dryRun ? static_cast<ScriptRunner&>(recorder) : osascript;
    FileSystem& files = options.dryRun ? static_cast<FileSystem&>(dryFiles) : disk;
    SendTargets targets = PlatformSendTargets(runner, files, notices, environment);
    const SendReport report = SendPlaylistToITunes(view, name, n, targets);

    if (options.dryRun) {
        PrintDryRun(recorder, dryFiles, out);
    } else {
        const size_t sent = report.sentRows.size();
        const std::string playlist = "Playlist \"" + MacRomanToUtf8(name) + "\" (" +
                                     std::to_string(sent) + (sent == 1 ? " tune)" : " tunes)");
        if (osascript.IsAvailable()) {
            std::fprintf(out, "%s sent to the music player", playlist.c_str());
            if (report.scriptsFailed > 0) {
                std::fprintf(out, "; %d scripts failed", report.scriptsFailed);
            }
            std::fputs("\n", out);
        }
        if (report.playlistFile) {
            std::fprintf(out, "%s written to %s\n", playlist.c_str(), report.playlistFile->c_str());
        }
    }
    if (options.open && !options.dryRun && report.playlistFile) {
        if (const auto problem = OpenWithDesktop(*report.playlistFile, environment)) {
            return Fail(err, "the playlist was written but not opened: " + *problem);
        }
        std::fprintf(out, "Opened %s in the music player\n", report.playlistFile->c_str());
    }
    if (!notices.alerts.empty()) {
        const Alert& alert = notices.alerts.front();
        return Fail(err, MacRomanToUtf8(alert.title) + ": " + MacRomanToUtf8(alert.message));
    }
    if (!options.dryRun && !osascript.IsAvailable() && !targets.writesPlaylistFile) {
        return Fail(err, kScriptingNotAvailableText);
    }
    if (std::fflush(out) != 0 || std::ferror(out)) {
        return Fail(err, "cannot write the output");
    }
    return 0;
}

}  // namespace harmovia
