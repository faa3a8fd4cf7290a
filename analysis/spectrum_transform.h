#pragma once

// The radix-2 complex transform the sound measurement runs twice per window. Its angle
// step is 6.25 / mmax rather than 2π / mmax: every stored mood depends on that constant,
// so it is kept, and the result is a spectrum-like figure rather than a true DFT.
//
// Data layout: 16384 complex points as 32768 doubles numbered 1..32768 (real parts odd,
// imaginary parts even); element 0 is a spare slot that is never read or written.
//
// Every function here is pure over the buffer it is given and safe to call from several
// threads at once on different buffers.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace harmovia {

inline constexpr int kSpectrumPoints = 16384;
inline constexpr int kSpectrumValues = 2 * kSpectrumPoints;   // doubles 1..32768
inline constexpr size_t kSpectrumSize = kSpectrumValues + 1;  // with the spare element 0
using SpectrumSpan = std::span<double, kSpectrumSize>;
using ConstSpectrumSpan = std::span<const double, kSpectrumSize>;

// The numerator of the angle step the program's moods are defined with.
inline constexpr double kSpectrumThetaNumerator = 6.25;

// Each butterfly stage's rotation factors, produced by the stage's recurrence from its two
// sine values (sin θ and sin θ/2) exactly as the stage loop would produce them one after
// another. Stage with span mmax (2, 4, ..., 16384) keeps mmax/2 factors from offset
// mmax/2 - 1.
struct SpectrumTwiddles {
    std::vector<double> real;
    std::vector<double> imag;
};

// The factors for any numerator, with the sines from the C library (tests use 2π).
SpectrumTwiddles MakeSpectrumTwiddles(double thetaNumerator);

// The factors for 6.25. Its sines are constants (sin(6.25 / 2^k), k = 1..15, correctly
// rounded), so the result does not depend on the platform's sine.
const SpectrumTwiddles& ProductionSpectrumTwiddles();
// Those constants; [k] = sin(6.25 / 2^k), [0] unused.
extern const std::array<double, 16> kProductionStageSines;

// The production transform: bit-reversal, then the butterflies stage by stage with loops
// ordered for memory access and tabulated factors. Bit-identical to the loop as written.
// `twiddles` must come from MakeSpectrumTwiddles or ProductionSpectrumTwiddles.
void TransformSpectrum(SpectrumSpan data);
void TransformSpectrum(SpectrumSpan data, const SpectrumTwiddles& twiddles);

// The transform exactly as the measurement was first written (factors advanced by the
// recurrence inside the butterfly loop, sines from the C library). The reference the
// production transform is proven against, and the benchmark's baseline.
void TransformSpectrumAsWritten(SpectrumSpan data, double thetaNumerator = kSpectrumThetaNumerator);

}  // namespace harmovia
