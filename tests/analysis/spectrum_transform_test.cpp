#include "analysis/spectrum_transform.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace harmovia {
namespace {

using Buffer = std::vector<double>;

Buffer RandomPoints(uint32_t seed, bool realOnly, double scale) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-scale, scale);
    Buffer x(kSpectrumSize, 0.0);
    for (int j = 0; j < kSpectrumPoints; ++j) {
        x[1 + 2 * j] = realOnly ? std::round(value(random)) : value(random);
        x[2 + 2 * j] = realOnly ? 0.0 : value(random);
    }
    return x;
}

SpectrumSpan Span(Buffer& x) {
    return SpectrumSpan(x.data(), kSpectrumSize);
}

// The production loop order and tabulated factors change no bit of any spectrum.
TEST(SpectrumTransform, ProductionIsBitIdenticalToTheLoopAsWritten) {
    std::vector<Buffer> inputs = {RandomPoints(1, false, 1e4), RandomPoints(2, true, 32768.0),
                                  Buffer(kSpectrumSize, 0.0)};
    Buffer tones(kSpectrumSize, 0.0);  // 16-bit music-like input: two tones and a little hiss
    std::mt19937 random(9);
    for (int j = 0; j < kSpectrumPoints; ++j) {
        tones[1 + 2 * j] = std::round(9000 * std::sin(j * 0.0627) + 4000 * std::sin(j * 0.31) +
                                      static_cast<double>(random() % 301) - 150);
    }
    inputs.push_back(tones);
    Buffer extremes(kSpectrumSize, 0.0);
    for (int j = 0; j < kSpectrumPoints; ++j) {
        extremes[1 + 2 * j] = j % 2 == 0 ? -32768.0 : 32767.0;
    }
    inputs.push_back(extremes);
    for (size_t i = 0; i < inputs.size(); ++i) {
        Buffer expected = inputs[i];
        TransformSpectrumAsWritten(Span(expected));
        Buffer actual = inputs[i];
        TransformSpectrum(Span(actual));
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(double)), 0)
            << "input " << i;
    }
}

}  // namespace
}  // namespace harmovia
