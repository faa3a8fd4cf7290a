#include "platform/clock.h"

#include <ctime>

namespace harmovia {

std::string SystemClock::TimeOfDayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return "00:00:00";
    }
    char text[16];
    const size_t n = std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return n == 0 ? std::string("00:00:00") : std::string(text, n);
}

}  // namespace harmovia
