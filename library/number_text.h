#pragma once

#include <cstdint>

#include "library/pstr.h"

namespace harmovia {

// The program's number text: decimal, one leading blank when not negative, "-" when
// negative (45 -> " 45", -3 -> "-3").
PStr NumberText(int64_t value);

// Round to nearest, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), independent of the
// floating-point environment's rounding mode.
int64_t RoundHalfEven(double value);

}  // namespace harmovia
