#include "browse/search.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "browse/view_builder.h"
#include "library/mac_roman.h"

namespace harmovia {
namespace {

constexpr int kNoticeMilliseconds = 2000;

bool ContainsUpper(std::string_view field, const PStr& upperText) {
    const int n = upperText.size();
    if (n == 0) {
        return true;
    }
    const auto m = static_cast<int>(field.size());
    for (int start = 0; start + n <= m; ++start) {
        int k = 0;
        while (k < n && MacRomanUpper(static_cast<uint8_t>(
                            field[static_cast<size_t>(start + k)])) == upperText[k]) {
            ++k;
        }
        if (k == n) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool TuneMatchesUpperCasedText(const TuneRecord& r, const PStr& upperText) {
    return ContainsUpper(r.Title.view(), upperText) || ContainsUpper(r.Artist.view(), upperText) ||
           ContainsUpper(r.Album.view(), upperText) || ContainsUpper(r.Genre.view(), upperText);
}

bool TextContains(std::string_view field, std::string_view text) {
    return ContainsUpper(field, UpperCased(text));
}

SearchOutcome RunSearch(ViewState& view, const Library& library, std::string_view fieldText,
                        Clock& clock, RandomSource& random, UserNotices& notices) {
    view.SearchText = PStr(fieldText);
    if (view.SearchText.empty()) {
        notices.Beep(1);
        return SearchOutcome::EmptyText;
    }
    const PStr upper = UpperCased(view.SearchText.view());
    const int32_t count = std::clamp(library.TuneCount, 0, kMaxTunes);
    bool found = false;
    for (int32_t slot = 1; slot <= count && !found; ++slot) {
        found = TuneMatchesUpperCasedText(library[slot], upper);
    }
    if (!found) {
        notices.Beep(1);
        notices.ShowOverlayNotice(kNoMatchNotice, 0);
        notices.WaitMilliseconds(kNoticeMilliseconds);
        notices.CloseOverlay();
        return SearchOutcome::NoMatch;
    }
    view.ViewMode = kModeSearchResults;
    BuildView(view, library, clock, random);
    view.SelectedRow = 0;
    return SearchOutcome::Shown;
}

}  // namespace harmovia
