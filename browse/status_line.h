#pragma once

// The status line under the tune list (control 1001): the text ShowStatusLine shows. Mac
// Roman.

#include <cstdint>

#include "browse/view_state.h"
#include "library/pstr.h"

namespace harmovia {

// An empty view: "Tunes: 0 • Time: 0 secs • Size: 0 MB". Otherwise "Tunes:" + count +
// "  •  Time:" + DurationWords(seconds) + " •  Size:" + SizeText(megabytes), each number
// with its leading blank: "Tunes: 12  •  Time: 1 hr  5 mins  7 secs  •  Size: 98 MB".
PStr StatusLineText(int32_t viewCount, uint32_t viewSeconds, uint32_t viewMegabytes);
PStr StatusLineText(const ViewState& view);

}  // namespace harmovia
