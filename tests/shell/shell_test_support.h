#pragma once

// What the shell tests share: notices that record and answer as told, and a program started
// over a library of given tunes in a temporary folder.

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/script_runner.h"
#include "library/library_file.h"
#include "platform/movie_ffmpeg.h"
#include "platform/movie_playback_ffmpeg.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"
#include "shell/startup.h"
#include "shell/tune_list.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia::test {

class RecordingShellNotices final : public ShellNotices {
  public:
    void Beep(int times) override { beeps += times; }
    bool ShowAlert(const Alert& alert) override {
        said.push_back(alert.title);
        return answer;
    }
    void ShowOverlayNotice(std::string_view text, int) override { said.emplace_back(text); }
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}
    void ShowFatalAlert(std::string_view title, std::string_view) override {
        said.emplace_back(title);
    }
    ErrorAlertChoice ShowErrorAlert(std::string_view, int32_t) override {
        return ErrorAlertChoice::Continue;
    }
    void ShowSavingOverlay(const ScreenRect&, MoodColour) override {}
    // A pause takes no time, unless the test holds it to act in the middle of it.
    void After(int, std::function<void()> then) override {
        holdPauses ? held.push_back(std::move(then)) : then();
    }
    void EndPauses() {
        for (auto pending = std::exchange(held, {}); auto& then : pending) {
            then();
        }
    }

    bool answer = true;
    bool holdPauses = false;
    std::vector<std::function<void()>> held;
    int beeps = 0;
    std::vector<std::string> said;  // alert titles and overlay texts, in order
};

// The menu item that carries `command` (the first, for a command on several items).
inline void Choose(App& app, Command command) {
    const MenuPlace place = MenuPlaceOf(command);
    HandleMenuCommand(app, place.menu, place.item);
}
inline void Click(App& app, int32_t control) {
    HandleControlEvent(app, ControlEventKind::Hit, control);
}

struct Tune {
    const char* title;
    const char* artist;
    const char* album;
    const char* time;
    const char* genre;
    int mood;
    uint16_t fileKind;
};

// Moods 3, 7, 1 and 9 (none of 2, 4, 5, 6, 8); titles alike but for case; times to 10:05.
inline const std::vector<Tune> kTunes = {
    {"banana", "Cleo", "Zeta", "10:05", "Rock", 3, 4},
    {"Apple", "anna", "Alpha", "3:00", "Jazz", 7, 1},
    {"Cherry", "Bert", "Mid", "4:30", "Blues", 1, 4},
    {"Apple", "Dora", "Beta", "0:59", "Pop", 9, 1},
};

// A program started on a library folder of its own, holding `tunes` (in that order). When
// `playable`, every tune is one short real file that plays silently and as fast as it decodes.
struct StartedApp {
    explicit StartedApp(const std::vector<Tune>& tunes, bool start = true, bool playable = false) {
        const std::filesystem::path audio =
            playable ? testing::MakeTestAudio(home.path() / "tune.mp3", {.seconds = 2.0})
                     : std::filesystem::path();
        if (!tunes.empty()) {
            Library library;
            for (const Tune& t : tunes) {
                TuneRecord& r = library[++library.TuneCount];
                r.Title.Set(t.title);
                r.Artist.Set(t.artist);
                r.Album.Set(t.album);
                r.DurationText.Set(t.time);
                r.Genre.Set(t.genre);
                r.GenreCategory.Set(t.genre);
                r.Mood = t.mood;
                r.MoodEnergy = t.mood * 10;
                r.FileKind = t.fileKind;
                r.Checked = 1;
                r.DurationSeconds = 200;
                r.FileSize = 4 << 20;
                r.Location.Set(audio.string());
            }
            std::filesystem::create_directories(folder);
            DiskFileSystem files;
            EXPECT_EQ(SaveLibrary(library, files, folder), kNoErr);
        }
        app.notices = &notices;
        app.movies = MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast);
        app.scripts = std::make_unique<RecordingScriptRunner>();  // never runs a script
        scripts = static_cast<RecordingScriptRunner*>(app.scripts.get());
        app.openPlaylist = [this](const std::filesystem::path& file) {
            opened.push_back(file);
            return openAnswer;
        };
        if (start) {
            EXPECT_FALSE(Start(app).has_value());
        }
    }
    std::optional<int> Start(App& target) {
        const EnvironmentLookup environment = [this](const char* name) {
            const std::string_view n(name);
            return n == "XDG_DATA_HOME" ? std::optional((home.path() / "data").string())
                   : n == "HOME"        ? std::optional(home.path().string())
                                        : std::nullopt;
        };
        return StartUp(target, {environment, movies.get(), 1400, 900});
    }
    MainWindow& window() { return *app.window; }
    std::vector<uint8_t> LibraryBytes() const {
        return testing::ReadBytes(folder / kLibraryFileName);
    }

    testing::TempFolder home;
    std::filesystem::path folder = home.path() / "data" / "Harmovia";
    std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();  // as the program has
    RecordingShellNotices notices;
    App app;
    RecordingScriptRunner* scripts = nullptr;
    std::vector<std::filesystem::path> opened;  // playlists handed to the music player
    bool openAnswer = true;
};

inline std::filesystem::path MakeMusicFolder(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
        testing::MakeTestAudio(folder / ("Tune " + std::to_string(i) + ".mp3"),
                               {.frequency = 200.0 * i, .seconds = 16.0});
    }
    return folder;
}

// The event loop until the add has ended (its steps are queued on the loop).
inline void RunUntilAdded(App& app) {
    for (int turn = 0; turn < 100000 && (app.AddingTunes || app.adding); ++turn) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// A menu text as it reads: without the mnemonic's "&", a doubled "&" as one.
inline QString PlainMenuText(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace harmovia::test
