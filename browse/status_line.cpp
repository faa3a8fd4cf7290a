#include "browse/status_line.h"

#include <algorithm>
#include <limits>

#include "browse/view_titles.h"
#include "library/durations.h"
#include "library/number_text.h"

namespace harmovia {

PStr StatusLineText(int32_t viewCount, uint32_t viewSeconds, uint32_t viewMegabytes) {
    if (viewCount <= 0) {
        return PStr("Tunes: 0 ") + kBullet + " Time: 0 secs " + kBullet + " Size: 0 MB";
    }
    const auto seconds =
        static_cast<int32_t>(std::min<uint32_t>(viewSeconds, std::numeric_limits<int32_t>::max()));
    return PStr("Tunes:") + NumberText(viewCount).view() + "  " + kBullet +
           "  Time:" + DurationWords(seconds).view() + " " + kBullet +
           "  Size:" + SizeText(viewMegabytes).view();
}

PStr StatusLineText(const ViewState& view) {
    return StatusLineText(view.List.ViewCount, view.ViewSeconds, view.ViewMegabytes);
}

}  // namespace harmovia
