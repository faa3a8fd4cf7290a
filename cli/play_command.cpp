#include "cli/play_command.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>
#include <charconv>
#include <csignal>
#include <optional>
#include <string_view>

#include "cli/terminal_text.h"
#include "cli/view_request.h"
#include "library/mac_roman.h"
#include "library/preferences_file.h"
#include "platform/movie_playback_ffmpeg.h"
#include "platform/user_notices.h"
#include "player/mpris_service.h"
#include "player/play_loop.h"
#include "player/player_requests.h"

namespace harmovia {
namespace {

constexpr const char* kOptionsText =
    "play options:\n"
    "  --volume V   the volume, 0..730 (default: the desktop program's)\n"
    "  --endless    with --journey: when the journey nears its end it goes on with fresh\n"
    "               tunes along the same path, back and forth, until Ctrl-C\n";

// The player's tick: the desktop program's event loop rhythm.
constexpr int kTickMilliseconds = 1000 * 2 / 60;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int signal) {
    interrupted = 1;
    std::signal(signal, SIG_DFL);  // a second Ctrl-C ends the program at once
}

int Usage(std::FILE* err, std::string_view reason) {
    return ReportProblem(err, "play", reason, 2);
}

std::optional<int16_t> ParseVolume(std::string_view text) {
    int value = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > kMaxVolume) {
        return std::nullopt;
    }
    return static_cast<int16_t>(value);
}

// The terminal as the player's surroundings: a line per tune; the missing-tunes alert as
// the command's one-line reason. Nothing of the library or the preferences changes while
// the CLI plays (no check boxes, no slider), so the saves before the end have nothing to
// write; the end is a failure of the command.
class TerminalPlayer final : public PlayerSeams, public UserNotices {
  public:
    TerminalPlayer(const PlayerState& player, std::FILE* out, std::FILE* err)
        : player_(player), out_(out), err_(err) {}

    void UpdateDisplayArea(const DisplayAreaLines&) override {}
    void SelectListRow(int32_t) override {}
    void RefreshList() override {}
    void TuneStarted(int32_t position, int16_t volume) override {
        const TuneRecord& tune = player_.NowPlayingList[position];
        std::fprintf(out_, "%d\t%s\t%s\t%d\n", position, MacRomanToUtf8(tune.Title.view()).c_str(),
                     MacRomanToUtf8(tune.Artist.view()).c_str(), volume);
        std::fflush(out_);
        ++tunesStarted;
    }
    void ShowSavingNotice() override {}
    OsError SaveLibraryFile() override { return kNoErr; }
    OsError SavePreferencesFile() override { return kNoErr; }
    void EndProgram(int) override {
        status = 1;
        QCoreApplication::exit(1);
    }

    void Beep(int) override {}
    bool ShowAlert(const Alert& alert) override {
        std::fprintf(err_, "harmovia-cli play: %s: %s\n", MacRomanToUtf8(alert.title).c_str(),
                     MacRomanToUtf8(alert.message).c_str());
        return true;
    }
    void ShowOverlayNotice(std::string_view, int) override {}
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}

    int status = 0;
    int tunesStarted = 0;

  private:
    const PlayerState& player_;
    std::FILE* out_;
    std::FILE* err_;
};

}  // namespace

const char* PlayOptionsUsage() {
    return kOptionsText;
}

int RunPlayCommand(const std::vector<std::string>& args, CliLibrary& cli, RandomSource& random,
                   std::FILE* out, std::FILE* err) {
    ViewRequest request;
    std::vector<std::string> rest;
    if (const auto problem = ParseViewRequest(args, request, rest)) {
        return Usage(err, *problem);
    }
    std::optional<int16_t> volume;
    bool endless = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--endless") {
            if (request.kind != ViewKind::Journey) {
                return Usage(err, "--endless goes with --journey A:B");
            }
            endless = true;
            continue;
        }
        if (rest[i] != "--volume") {
            return Usage(err, "unknown argument \"" + rest[i] + "\"");
        }
        if (i + 1 >= rest.size() || !(volume = ParseVolume(rest[++i]))) {
            return Usage(err, "--volume needs a whole number from 0 to 730");
        }
    }
    auto view = std::make_unique<ViewState>();
    const ViewBuildResult built = BuildRequestedView(request, *cli.library, random, *view);
    if (built.status == 2) {
        return Usage(err, built.reason);
    }
    if (built.status != 0) {
        return ReportProblem(err, "play", built.reason, 1);
    }
    // The player refills an endless journey from the list's label.
    view->Label.Journey.Endless = endless;
    Preferences preferences;
    DiskFileSystem files;
    // A missing or unreadable preferences file leaves the default volume.
    (void)LoadPreferences(preferences, files, cli.folder);
    if (volume) {
        preferences.Volume = *volume;
    }

    static int argc = 1;
    static char name[] = "harmovia-cli";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // The movie player outlives the player state, which may hold one of its movies.
    const std::unique_ptr<MoviePlayer> movies = MakeFfmpegMoviePlayer(AudioOutputChoice::Device);
    auto player = std::make_unique<PlayerState>();
    TerminalPlayer terminal(*player, out, err);
    PlayerContext ctx{*player, *view, *cli.library, preferences, *movies, terminal, terminal};

    // Media keys when there is a session bus; silently none otherwise.
    MprisService mpris(ctx);
    mpris.Register(QDBusConnection::sessionBus());

    interrupted = 0;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (interrupted != 0) {
            player->StopRequest = 1;
        }
        PlayerEventHook(ctx);
        mpris.Sync();
        if (player->Phase == PlayPhase::Idle && !player->ProgramEnding) {
            QCoreApplication::exit(0);
        }
    });
    view->SelectedRow = 1;
    RequestPlay(ctx);
    ticks.start(kTickMilliseconds);
    app.exec();
    ticks.stop();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (terminal.status == 0 && terminal.tunesStarted == 0 && interrupted == 0) {
        return ReportProblem(err, "play", "no tune of the view could be played", 1);
    }
    return terminal.status;
}

}  // namespace harmovia
