#pragma once

#include <cstdint>

#include "library/pstr.h"

namespace harmovia {

// A tune's length in clock form, blanks removed: 187 -> "3:07", 3907 -> "1:05:07",
// 90061 -> "1:1:1:1".
PStr DurationText(int32_t seconds);

// A total time in words, each number with its leading blank: 65 -> " 1 min  5 secs ".
PStr DurationWords(int32_t seconds);

// A size: up to 1024 MB as " N MB", above as whole gigabytes " N GB".
PStr SizeText(uint32_t megabytes);

}  // namespace harmovia
