#pragma once

#include <cstdint>
#include <random>

namespace harmovia {

// The program's one random generator: 31-bit values. The program seeds it from the
// system's entropy at start-up; tests seed it with a fixed number to get a known order.
class RandomSource {
  public:
    explicit RandomSource(uint32_t seed) : engine_(seed) {}
    static RandomSource FromEntropy() { return RandomSource(std::random_device{}()); }

    // A value in 0 .. 2^31 - 1.
    uint32_t Next31() { return static_cast<uint32_t>(engine_() >> 1); }

    // random(n): a whole number uniformly in 1..n (1 when n is 0), as the integer part of
    // n * (31-bit value / 2^31) plus 1.
    int32_t Random(int32_t n) {
        const int64_t scaled = (static_cast<int64_t>(n) * Next31()) >> 31;
        return static_cast<int32_t>(scaled) + 1;
    }

  private:
    std::mt19937 engine_;
};

}  // namespace harmovia
