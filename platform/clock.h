#pragma once

// The time of day as the program shows it. The desktop program and the CLI use
// SystemClock; tests pass a FixedClock so that texts built from the time are known.

#include <string>
#include <utility>

namespace harmovia {

class Clock {
  public:
    virtual ~Clock() = default;
    // The local time now as "HH:mm:ss" (24-hour clock, two digits each).
    virtual std::string TimeOfDayText() = 0;
};

// The machine's local time.
class SystemClock final : public Clock {
  public:
    std::string TimeOfDayText() override;
};

// Always answers the same text.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(std::string text) : text_(std::move(text)) {}
    std::string TimeOfDayText() override { return text_; }

  private:
    std::string text_;
};

}  // namespace harmovia
