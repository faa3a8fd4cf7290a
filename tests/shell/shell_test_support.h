#pragma once

// What the shell tests share: notices that record and answer as told, a program started
// over a library in a temporary folder, and tunes to fill it with.

#include <memory>
#include <string>
#include <vector>

#include "library/library_file.h"
#include "platform/movie_playback_ffmpeg.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "tests/support/temp_folder.h"

namespace harmovia::test {

class RecordingShellNotices final : public ShellNotices {
  public:
    void Beep(int times) override { beeps += times; }
    bool ShowAlert(const Alert& alert) override {
        alerts.push_back(alert);
        return answer;
    }
    void ShowOverlayNotice(std::string_view text, int) override { overlays.emplace_back(text); }
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}
    void ShowFatalAlert(std::string_view title, std::string_view message) override {
        alerts.push_back({std::string(title), std::string(message), "Quit"});
    }
    ErrorAlertChoice ShowErrorAlert(std::string_view, int32_t) override {
        return ErrorAlertChoice::Continue;
    }
    void ShowSavingOverlay(const ScreenRect&, MoodColour) override {}

    bool answer = true;
    int beeps = 0;
    std::vector<Alert> alerts;
    std::vector<std::string> overlays;
};

struct Tune {
    const char* title;
    const char* artist;
    const char* album;
    const char* time;
    const char* genre;
    int mood;
    uint16_t fileKind;
};

// The tunes most window tests start with: moods 3, 7, 1 and 9 (2, 4, 5, 6 and 8 have none),
// two titles alike but for their case, times on both sides of ten minutes.
inline const std::vector<Tune> kFourTunes = {
    {"banana", "Cleo", "Zeta", "10:05", "Rock", 3, 4},
    {"Apple", "anna", "Alpha", "3:00", "Jazz", 7, 1},
    {"Cherry", "Bert", "Mid", "4:30", "Blues", 1, 4},
    {"Apple", "Dora", "Beta", "0:59", "Pop", 9, 1},
};

inline TuneRecord MakeRecord(const Tune& t) {
    TuneRecord r;
    r.Title.Set(t.title);
    r.Artist.Set(t.artist);
    r.Album.Set(t.album);
    r.DurationText.Set(t.time);
    r.Genre.Set(t.genre);
    r.Mood = t.mood;
    r.MoodEnergy = t.mood * 10;
    const MoodColour c = MoodTable[static_cast<size_t>(t.mood)].colour;
    r.MoodColourRed = c.red;
    r.MoodColourGreen = c.green;
    r.MoodColourBlue = c.blue;
    r.FileKind = t.fileKind;
    r.Checked = 1;
    r.DurationSeconds = 200;
    r.FileSize = 4 << 20;
    return r;
}

// A program started on a library folder of its own, holding `tunes` (in that order).
struct StartedApp {
    // Every tune's file is `location` when one is given.
    explicit StartedApp(const std::vector<Tune>& tunes, bool start = true,
                        const std::filesystem::path& location = {}) {
        folder = home.path() / "data" / "Harmovia";
        if (!tunes.empty()) {
            Library library;
            for (const Tune& t : tunes) {
                library[++library.TuneCount] = MakeRecord(t);
                library[library.TuneCount].Location.Set(location.string());
            }
            std::filesystem::create_directories(folder);
            DiskFileSystem files;
            EXPECT_EQ(SaveLibrary(library, files, folder), kNoErr);
        }
        app.notices = &notices;
        app.movies = MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast);
        if (start) {
            status = Start(app);
        }
    }
    std::optional<int> Start(App& target) {
        const std::filesystem::path data = home.path() / "data";
        const std::filesystem::path homePath = home.path();
        const EnvironmentLookup environment =
            [data, homePath](const char* name) -> std::optional<std::string> {
            if (std::string(name) == "XDG_DATA_HOME") {
                return data.string();
            }
            if (std::string(name) == "HOME") {
                return homePath.string();
            }
            return std::nullopt;
        };
        return StartUp(target, {environment, nullptr, 1400, 900});
    }
    MainWindow& window() { return *app.window; }

    testing::TempFolder home;
    std::filesystem::path folder;
    RecordingShellNotices notices;
    App app;
    std::optional<int> status;
};

}  // namespace harmovia::test
