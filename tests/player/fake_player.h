#pragma once

// A player over stand-in movies and seams that record what the program would have shown.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "browse/view_state.h"
#include "library/preferences_file.h"
#include "library/tune_library.h"
#include "platform/user_notices.h"
#include "player/play_loop.h"
#include "player/player_context.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia::test {

struct FakeMovies final : MoviePlayer {
    struct Movie final : PlayingMovie {
        Movie(FakeMovies& owner, int ticks) : owner_(owner), ticksLeft_(ticks) {}
        ~Movie() override { --owner_.open; }
        void SetVolume(int16_t volume) override { owner_.volumes.push_back(volume); }
        void GoToBeginning() override {}
        void Start() override { started_ = true; }
        void Task() override { ticksLeft_ -= started_ ? 1 : 0; }
        bool IsDone() const override { return ticksLeft_ <= 0; }
        void Stop() override { started_ = false; }
        void Seek(int64_t microseconds) override { owner_.seeks.push_back(microseconds); }
        int64_t HeardMicroseconds() const override { return 0; }
        FakeMovies& owner_;
        int ticksLeft_;
        bool started_ = false;
    };
    OsError OpenPlayingMovie(const std::filesystem::path& file,
                             std::unique_ptr<PlayingMovie>& movie) override {
        ++opens;
        if (missing.contains(file.string())) {
            return kFileNotFoundErr;
        }
        ++open;
        movie = std::make_unique<Movie>(*this, 3);
        return kNoErr;
    }
    void ClearStickyError() override {}

    std::set<std::string> missing;
    int opens = 0;
    std::vector<int16_t> volumes;  // every SetVolume
    std::vector<int64_t> seeks;    // every Seek
    int open = 0;                  // movies not yet released
};

struct RecordingSeams final : PlayerSeams {
    void ControlsChanged() override { ++controlsShown; }
    void UpdateDisplayArea(const DisplayAreaLines& lines) override { display = lines; }
    void SelectListRow(int32_t row) override { selected.push_back(row); }
    void RefreshList() override { ++refreshed; }
    void RowsAppended() override { ++appended; }
    int32_t DisplayRowOfItem(int32_t item) override { return reversed ? count - item : item - 1; }
    int32_t ItemAtDisplayRow(int32_t row) override { return reversed ? count - row : row + 1; }
    void TuneStarted(int32_t position, int16_t) override { started.push_back(position); }
    void ShowVolume(int16_t volume) override { shownVolume = volume; }
    void ShowSavingNotice() override { log.push_back("saving notice"); }
    OsError SaveLibraryFile() override {
        log.push_back("save library");
        return libraryError;
    }
    OsError SavePreferencesFile() override {
        log.push_back("save preferences");
        return kNoErr;
    }
    void EndProgram(int status) override { log.push_back("end " + std::to_string(status)); }

    int controlsShown = 0;
    DisplayAreaLines display;
    std::vector<int32_t> selected;
    int refreshed = 0;
    int appended = 0;
    bool reversed = false;  // the user sorted the list upside down
    int32_t count = 0;
    std::vector<int32_t> started;
    int16_t shownVolume = -1;
    std::vector<std::string> log;
    OsError libraryError = kNoErr;
};

// Tune n lives at "/music/n.mp3" with PeakPowerMean 300.
struct PlayerHarness {
    // Over stand-in movies, or over `real` ones.
    explicit PlayerHarness(int tunes, MoviePlayer* real = nullptr)
        : moviePlayer(real != nullptr ? real : &movies) {
        for (int n = 1; n <= tunes; ++n) {
            const std::string number = std::to_string(n);
            TuneRecord r = MakeTune({.title = "Tune " + number, .album = "Album " + number});
            r.Location.Set("/music/" + number + ".mp3");
            r.Mood = 1 + (n + 7) % 9;  // tune 2 has mood 1, the lowest
            r.PeakPowerMean = 300;
            r.RecordIndex = r.AddedSerial = n;
            (*library)[n] = r;
            AppendRow(view->List, r);
        }
        library->TuneCount = tunes;
        view->ViewStamp = 1;
        view->ViewTitle = "12:00:00";
        seams.count = tunes;
    }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            PlayerEventHook(ctx);
        }
    }

    FakeMovies movies;  // first in, last out: it outlives the movie the player holds
    MoviePlayer* moviePlayer;
    std::unique_ptr<PlayerState> player = std::make_unique<PlayerState>();
    std::unique_ptr<ViewState> view = std::make_unique<ViewState>();
    std::unique_ptr<Library> library = std::make_unique<Library>();
    Preferences preferences;
    RecordingNotices notices;
    RecordingSeams seams;
    PlayerContext ctx{*player, *view, *library, preferences, *moviePlayer, notices, seams};
};

}  // namespace harmovia::test
