#include "library/number_text.h"

#include <cmath>
#include <cstdio>

namespace harmovia {

PStr NumberText(int64_t value) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, value < 0 ? "%lld" : " %lld",
                                static_cast<long long>(value));
    return PStr(std::string_view(text, static_cast<size_t>(n)));
}

int64_t RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5) {
        rounded = floor + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    }
    return static_cast<int64_t>(rounded);
}

}  // namespace harmovia
