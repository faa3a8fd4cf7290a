#pragma once

// Adding the music files of a folder tree to the library, as a task the event loop
// advances one folder entry per Step() on the main thread. Decoding and measuring run ahead
// on a pool of workers; everything that touches the library happens here, in walk order.
//
// Lifecycle: the constructor starts the add (clears LastAddedFlag, AddingTunes = true);
// Step() until it returns Finished, which has committed, recounted, saved, asked for the
// view to be rebuilt and, when the library is full, shown "Database Limit Reached". A Stop
// request finishes the file in hand and then finishes the add.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import/add_steps.h"
#include "import/folder_walk.h"
#include "import/measure_ahead.h"
#include "library/pstr.h"
#include "platform/os_error.h"
#include "platform/user_notices.h"

namespace harmovia {

// What the progress sheet shows.
struct AddProgress {
    bool AddingTunes = false;
    bool StopAddingRequest = false;
    PStr StatusText;  // "Scanning for music files... please wait...", then "Adding: " + title
    int32_t TotalTunes = 0;  // CurrentTuneIndex
};
// "Total Tunes: " followed by the count as number text.
PStr TotalTunesText(const AddProgress& progress);

struct SkippedFile {
    std::filesystem::path file;  // a file, or a folder that could not be read
    AddOutcome outcome;
};

struct AddSummary {
    int32_t kept = 0;
    int32_t entriesWalked = 0;
    std::vector<SkippedFile> skipped;  // in walk order
    OsError saveError = kNoErr;        // the last failed save, if any
    bool libraryFull = false;
    // Music files the walk did not reach because the library was full.
    int32_t leftOut = 0;
};

// How the task reaches the rest of the program. Every member may be left empty.
struct AddHooks {
    std::function<OsError(const Library&)> saveLibrary;
    std::function<void()> rebuildView;                  // the add has finished
    std::function<void(bool enabled)> setMenusEnabled;  // menus 1 to 4
    std::function<void(const AddProgress&)> progressChanged;
    // Called on a worker thread when a file's measurement is ready: an event loop that got
    // Waiting from Step() posts itself a call to Step() here instead of polling.
    std::function<void()> measurementReady;
    UserNotices* notices = nullptr;
};

// The texts that end an add which filled the library.
inline constexpr std::string_view kFolderLimitMessage =
    "The maximum number of tunes has been reached and no more tunes can be added to your "
    "database.";
inline constexpr std::string_view kMusicFolderLimitMessage =
    "The maximum number of tunes has been reached and no more tunes can be added to your "
    "databse.";

class AddTask {
  public:
    // workers = 0 measures on the main thread (strictly sequential).
    AddTask(Library& library, AddSteps& steps, AddHooks hooks, const std::filesystem::path& folder,
            std::string_view limitMessage, int workers);
    ~AddTask();
    AddTask(const AddTask&) = delete;
    AddTask& operator=(const AddTask&) = delete;

    enum class State { Working, Waiting, Finished };
    // Advances by one folder entry. Waiting: the next file's measurement is not ready yet
    // (it waited up to `wait` for it); call again.
    State Step(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    // For a caller without an event loop: after Step() said Waiting, blocks until the file
    // in hand's measurement is ready, at most `wait`, without doing the step's work.
    void WaitForMeasurement(std::chrono::milliseconds wait);
    // Stop after the file in hand.
    void RequestStop();

    const AddProgress& progress() const { return progress_; }
    const AddSummary& summary() const { return summary_; }
    bool finished() const { return finished_; }

  private:
    struct Pending {
        WalkEntry entry;
        MusicFileKind kind = MusicFileKind::None;
        std::optional<MeasureAheadPool::Ticket> ticket;
        bool tagsRead = false;
    };

    void FillLookahead();
    // Handles the current music file; false while its measurement is not ready.
    bool AddOneFile(std::chrono::milliseconds wait);
    // Reads the current file's tags (with its measurement, when they come with it); false
    // when they refuse the file, which is then skipped.
    bool ReadTags(const MeasuredFile* measured);
    void Skip(AddOutcome outcome);
    void Save();
    void FinishAdd();
    // Counts, without reading them, the music files a full library leaves out.
    void CountLeftOut();
    void ProgressChanged();

    Library& library_;
    AddSteps& steps_;
    AddHooks hooks_;
    std::string limitMessage_;
    FolderWalk walk_;
    bool walkOver_ = false;
    MeasureAheadPool pool_;
    size_t lookahead_;
    std::deque<Pending> ahead_;
    std::optional<Pending> current_;
    AddProgress progress_;
    AddSummary summary_;
    bool finished_ = false;
};

}  // namespace harmovia
