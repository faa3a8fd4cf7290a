#include "analysis/spectrum_transform.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
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

// X[k] = Σ x[j]·e^(+2πi·jk/N), in long double with the angle reduced exactly.
std::complex<long double> Dft(const Buffer& x, int k) {
    std::complex<long double> sum = 0;
    for (int j = 0; j < kSpectrumPoints; ++j) {
        const long double angle = 2 * std::numbers::pi_v<long double> *
                                  ((int64_t{j} * k) % kSpectrumPoints) / kSpectrumPoints;
        sum += std::complex<long double>(x[1 + 2 * j], x[2 + 2 * j]) *
               std::complex<long double>(std::cos(angle), std::sin(angle));
    }
    return sum;
}

// With 2π as its numerator the transform is a DFT: this proves the bit reversal and the
// butterflies, which the 6.25 transform shares.
TEST(SpectrumTransform, WithTwoPiItIsADft) {
    const Buffer input = RandomPoints(11, false, 1000.0);
    Buffer asWritten = input;
    TransformSpectrumAsWritten(Span(asWritten), 2 * std::numbers::pi);
    Buffer fast = input;
    TransformSpectrum(Span(fast), MakeSpectrumTwiddles(2 * std::numbers::pi));
    EXPECT_EQ(std::memcmp(fast.data(), asWritten.data(), fast.size() * sizeof(double)), 0);

    std::mt19937 random(3);
    std::vector<int> bins = {0, 1, 2, 4095, 8192, 12000, kSpectrumPoints - 1};
    for (int i = 0; i < 25; ++i) {
        bins.push_back(static_cast<int>(random() % kSpectrumPoints));
    }
    for (int k : bins) {
        const auto expected = Dft(input, k);
        EXPECT_NEAR(asWritten[1 + 2 * k], static_cast<double>(expected.real()), 1e-6) << k;
        EXPECT_NEAR(asWritten[2 + 2 * k], static_cast<double>(expected.imag()), 1e-6) << k;
    }
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

// The production factors stand in for the library sine; where the library's sine is
// correctly rounded (glibc is at these arguments) they are the same values.
TEST(SpectrumTransform, StageSinesAreTheLibrarySines) {
    for (int k = 1; k <= 15; ++k) {
        EXPECT_EQ(kProductionStageSines[static_cast<size_t>(k)], std::sin(6.25 / (1 << k))) << k;
    }
    const SpectrumTwiddles library = MakeSpectrumTwiddles(kSpectrumThetaNumerator);
    EXPECT_EQ(ProductionSpectrumTwiddles().real, library.real);
    EXPECT_EQ(ProductionSpectrumTwiddles().imag, library.imag);
    EXPECT_EQ(library.real.size(), size_t{kSpectrumPoints - 1});
}

}  // namespace
}  // namespace harmovia
