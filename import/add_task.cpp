#include "import/add_task.h"

#include <algorithm>
#include <cerrno>

#include "analysis/mood_scoring.h"
#include "library/genre_table.h"
#include "library/number_text.h"

namespace harmovia {

std::string_view AddOutcomeName(AddOutcome outcome) {
    switch (outcome) {
        case AddOutcome::Kept:
            return "kept";
        case AddOutcome::Unreadable:
            return "unreadable";
        case AddOutcome::PermissionDenied:
            return "permission denied";
        case AddOutcome::TooSmall:
            return "too small (MP3 under 50,001 bytes, Ogg and Opus under 30,001 bytes, M4A, FLAC, "
                   "WAV and AIFF under 100,001 bytes)";
        case AddOutcome::HiddenName:
            return "hidden (the name starts with \".\")";
        case AddOutcome::NotTagged:
            return "MP3 without an ID3v2 tag";
        case AddOutcome::M4aNotTagged:
            return "M4A without title, album and artist tags";
        case AddOutcome::ContainerNotTagged:
            return "FLAC, Ogg or Opus without title, album and artist tags";
        case AddOutcome::Podcast:
            return "a podcast";
        case AddOutcome::Damaged:
            return "damaged M4A";
        case AddOutcome::Duplicate:
            return "duplicate";
        case AddOutcome::PathTooLong:
            return "path longer than 255 bytes";
        case AddOutcome::NotDecodable:
            return "not decodable";
        case AddOutcome::TooShort:
            return "shorter than 15 seconds";
        case AddOutcome::NotStereo:
            return "not stereo (mono or more than two channels)";
        case AddOutcome::NoSound:
            return "no sound";
        case AddOutcome::OutsideKeepRange:
            return "outside the range of music the moods describe";
        case AddOutcome::OutOfMemory:
            return "out of memory";
        case AddOutcome::UnreadKind:
            return "not a kind Harmovia reads";
    }
    return "unknown";
}

PStr TotalTunesText(const AddProgress& progress) {
    return PStr("Total Tunes: ") + NumberText(progress.TotalTunes);
}

AddTask::AddTask(Library& library, AddSteps& steps, AddHooks hooks,
                 const std::filesystem::path& folder, std::string_view limitMessage, int workers)
    : library_(library),
      steps_(steps),
      hooks_(std::move(hooks)),
      limitMessage_(limitMessage),
      walk_(folder),
      pool_(steps, std::max(workers, 0), hooks_.measurementReady),
      // Enough queued files to keep every worker busy, few enough that a Stop wastes little.
      lookahead_(static_cast<size_t>(std::max(workers, 0)) * 4 + 1) {
    if (hooks_.setMenusEnabled) {
        hooks_.setMenusEnabled(false);
    }
    progress_.AddingTunes = true;
    progress_.StopAddingRequest = false;
    progress_.StatusText = "Scanning for music files... please wait...";
    progress_.TotalTunes = library_.CurrentTuneIndex;
    ClearLastAdded(library_);
    library_.AddedSerialCounter = library_.TuneCount;
    ProgressChanged();
}

AddTask::~AddTask() = default;

void AddTask::WaitForMeasurement(std::chrono::milliseconds wait) {
    if (current_ && current_->ticket) {
        pool_.WaitFor(*current_->ticket, wait);
    }
}

void AddTask::RequestStop() {
    progress_.StopAddingRequest = true;
}

void AddTask::ProgressChanged() {
    progress_.TotalTunes = library_.CurrentTuneIndex;
    if (hooks_.progressChanged) {
        hooks_.progressChanged(progress_);
    }
}

void AddTask::FillLookahead() {
    // Music files are counted toward the look-ahead; other entries cost nothing to queue,
    // but a bound keeps one step short in a folder of thousands of non-music files.
    size_t queuedMusic = static_cast<size_t>(
        std::count_if(ahead_.begin(), ahead_.end(), [](const Pending& p) { return p.ticket; }));
    for (int scanned = 0; !walkOver_ && queuedMusic < lookahead_ && scanned < 256; ++scanned) {
        std::optional<WalkEntry> entry = walk_.Next();
        if (!entry) {
            walkOver_ = true;
            break;
        }
        Pending pending{std::move(*entry), MusicFileKind::None, std::nullopt, false};
        if (!pending.entry.isFolder) {
            pending.kind = MusicFileKindForName(pending.entry.path.filename().native());
            if (IsReadKind(pending.kind)) {
                pending.ticket = pool_.Submit(pending.entry.path);
                ++queuedMusic;
            }
        }
        ahead_.push_back(std::move(pending));
    }
}

AddTask::State AddTask::Step(std::chrono::milliseconds wait) {
    if (finished_) {
        return State::Finished;
    }
    if (!current_) {
        // The walk stops after any entry once the library is full or Stop was asked for.
        if (progress_.StopAddingRequest || library_.CurrentTuneIndex >= kMaxTunes) {
            FinishAdd();
            return State::Finished;
        }
        FillLookahead();
        if (ahead_.empty()) {
            FinishAdd();
            return State::Finished;
        }
        current_ = std::move(ahead_.front());
        ahead_.pop_front();
        ++summary_.entriesWalked;
        if (!IsReadKind(current_->kind)) {
            if (current_->entry.error != 0) {
                const int error = current_->entry.error;
                Skip(error == EACCES || error == EPERM ? AddOutcome::PermissionDenied
                                                       : AddOutcome::Unreadable);
            } else if (current_->kind == MusicFileKind::Unread) {
                Skip(AddOutcome::UnreadKind);
            }
            current_.reset();
            return State::Working;
        }
    }
    if (!AddOneFile(wait)) {
        return State::Waiting;
    }
    current_.reset();
    return State::Working;
}

bool AddTask::AddOneFile(std::chrono::milliseconds wait) {
    const std::filesystem::path& file = current_->entry.path;
    // Tags that come with the sound are read once the measurement is in; the others first,
    // so that a refused file's measurement can be dropped unfinished.
    const bool soundFirst = TagsComeWithSound(current_->kind);
    if (!current_->tagsRead) {
        // The player finds the tune again through this path; one that does not fit the
        // record could never be played.
        if (file.native().size() > static_cast<size_t>(Text255::kCapacity)) {
            Skip(AddOutcome::PathTooLong);
            return true;
        }
        if (!soundFirst && !ReadTags(nullptr)) {
            return true;
        }
    }
    std::unique_ptr<MeasuredFile> measured = pool_.Take(*current_->ticket, wait);
    if (!measured) {
        return false;
    }
    current_->ticket.reset();
    if (soundFirst && !ReadTags(measured.get())) {
        return true;
    }
    const AddOutcome outcome = steps_.Score(library_, *measured);
    if (outcome != AddOutcome::Kept) {
        Skip(outcome);
        return true;
    }
    TuneRecord& record = library_.Slots.Write(library_.CurrentTuneIndex);
    record.Location.Set(file.native());
    ++summary_.kept;
    progress_.StatusText = PStr("Adding: ") + record.Title.view();
    // Every 200th slot becomes part of the saved library during a long add. This runs
    // only for a tune that passed the keep test, so no rejected tune is ever committed.
    CommitAtInterval(library_, [this] { Save(); });
    ProgressChanged();
    return true;
}

bool AddTask::ReadTags(const MeasuredFile* measured) {
    const AddOutcome tags =
        steps_.ReadTags(library_, current_->entry.path, current_->kind, measured);
    if (tags != AddOutcome::Kept) {
        Skip(tags);
        return false;
    }
    current_->tagsRead = true;
    return true;
}

void AddTask::Skip(AddOutcome outcome) {
    if (current_->ticket) {
        pool_.Drop(*current_->ticket);
    }
    summary_.skipped.push_back({current_->entry.path, outcome});
}

void AddTask::Save() {
    if (hooks_.saveLibrary) {
        if (OsError error = hooks_.saveLibrary(library_); error != kNoErr) {
            summary_.saveError = error;
        }
    }
}

void AddTask::CountLeftOut() {
    for (Pending& pending : ahead_) {
        if (pending.ticket) {
            pool_.Drop(*pending.ticket);
        }
        summary_.leftOut += IsReadKind(pending.kind) ? 1 : 0;
    }
    ahead_.clear();
    while (std::optional<WalkEntry> entry = walk_.Next()) {
        if (!entry->isFolder && IsReadKind(MusicFileKindForName(entry->path.filename().native()))) {
            ++summary_.leftOut;
        }
    }
}

void AddTask::FinishAdd() {
    finished_ = true;
    library_.MoodCounts.fill(0);
    // An add that ends with an empty library writes nothing.
    if (library_.CurrentTuneIndex >= 1) {
        if (library_.TuneCount <= library_.CurrentTuneIndex) {
            AssignGenreCategories(library_, library_.TuneCount, library_.CurrentTuneIndex);
        }
        library_.TuneCount = library_.CurrentTuneIndex;
        RecountMoods(library_);
        Save();
    }
    progress_.StopAddingRequest = false;
    if (hooks_.setMenusEnabled) {
        hooks_.setMenusEnabled(true);
    }
    if (hooks_.rebuildView) {
        hooks_.rebuildView();
    }
    progress_.AddingTunes = false;
    summary_.libraryFull = library_.CurrentTuneIndex >= kMaxTunes;
    if (summary_.libraryFull) {
        CountLeftOut();
    }
    ProgressChanged();
    if (summary_.libraryFull && hooks_.notices) {
        hooks_.notices->ShowAlert({"Database Limit Reached", limitMessage_, "Okay"});
    }
}

}  // namespace harmovia
