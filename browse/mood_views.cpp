#include "browse/mood_views.h"

#include <algorithm>

#include "browse/view_builder.h"
#include "library/mood.h"

namespace harmovia {
namespace {

constexpr int kNoticeMilliseconds = 2000;

bool HasMoodByGenreTune(const Library& library, int mood, int genreItem) {
    const std::string_view category = GenreItemText(genreItem);
    if (!IsMood(mood) || category.empty()) {
        return false;
    }
    const int32_t count = std::clamp(library.TuneCount, 0, kMaxTunes);
    for (int32_t slot = 1; slot <= count; ++slot) {
        const TuneRecord& r = library[slot];
        if (r.Mood == mood && (genreItem == kAllGenresItem || r.GenreCategory.view() == category)) {
            return true;
        }
    }
    return false;
}

}  // namespace

PStr EmptyMoodButtonNotice(int mood) {
    return IsMood(mood)
               ? PStr("No ") + MoodTable[static_cast<size_t>(mood)].colourWord + " tunes..."
               : PStr();
}

PStr EmptyMoodMenuNotice(int mood) {
    return IsMood(mood) ? PStr("No ") + MoodTable[static_cast<size_t>(mood)].name + " tunes..."
                        : PStr();
}

void ShowMoodNotice(UserNotices& notices, std::string_view text, int mood) {
    notices.Beep(1);
    notices.ShowOverlayNotice(text, mood);
    notices.WaitMilliseconds(kNoticeMilliseconds);
    notices.CloseOverlay();
}

MoodViewResult ShowMoodView(ViewState& view, const Library& library, int command, Clock& clock,
                            RandomSource& random, UserNotices& notices) {
    const bool moodButton = command >= kFirstMoodButton && command <= kLastMoodButton;
    if (!moodButton && command != kAllTunesButton && command != kLastAddedButton) {
        return {MoodViewOutcome::Ignored, false};
    }
    if (library.TuneCount < 1) {
        notices.Beep(3);
        return {MoodViewOutcome::Refused, false};
    }
    if (!moodButton) {
        view.ViewMode = command == kAllTunesButton ? kModeAllTunes : kModeLastAdded;
        BuildView(view, library, clock, random);
        return {MoodViewOutcome::Built, false};
    }
    const int mood = command - kFirstMoodButton + 1;
    if (library.MoodCounts[static_cast<size_t>(mood)] == 0) {
        ShowMoodNotice(notices, EmptyMoodButtonNotice(mood), mood);
        return {MoodViewOutcome::EmptyMood, false};
    }
    FindSelectedTune(view, library);
    view.ViewMode = MoodViewMode(mood);
    BuildView(view, library, clock, random);
    view.SelectedGenreItem = kAllGenresItem;
    view.SelectedMood = static_cast<int16_t>(mood);
    return {MoodViewOutcome::Built, true};
}

bool ShowMoodByGenre(ViewState& view, const Library& library, int genreItem, int mood, Clock& clock,
                     RandomSource& random, UserNotices& notices) {
    if (!HasMoodByGenreTune(library, mood, genreItem)) {
        ShowMoodNotice(notices, kNoTunesFoundNotice, mood);
        return false;
    }
    BuildMoodByGenreView(view, library, mood, genreItem, clock, random);
    view.SelectedGenreItem = static_cast<int16_t>(genreItem);
    view.SelectedMood = static_cast<int16_t>(mood);
    return true;
}

}  // namespace harmovia
