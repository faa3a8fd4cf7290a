#include "analysis/spectrum_transform.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace harmovia {
namespace {

constexpr int n = kSpectrumValues;

// Swaps point pairs into bit-reversed order, as first written; 1-based over doubles
// 1..32768.
void BitReverseAsWritten(SpectrumSpan x) {
    int j = 1;
    for (int i = 1; i < n; i += 2) {
        if (j > i) {
            std::swap(x[static_cast<size_t>(j)], x[static_cast<size_t>(i)]);
            std::swap(x[static_cast<size_t>(j + 1)], x[static_cast<size_t>(i + 1)]);
        }
        int m = n / 2;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
}

// The same permutation in tiles. A point index (14 bits) is split into a (top 3 bits),
// m (middle 8) and b (low 3); its reversal is (rev b, rev m, rev a). So the 8 × 8 tile of
// points with middle m trades places, transposed and reversed, with the tile of middle
// rev m: each tile is 8 runs of 8 neighbouring points, which the cache handles far better
// than the scattered single swaps of the loop as written. Pure data movement: the result
// is the same permutation to the bit.
constexpr int kTileBits = 3;
constexpr int kTile = 1 << kTileBits;
constexpr int kMiddleBits = 14 - 2 * kTileBits;

constexpr int Reversed(int value, int bits) {
    int result = 0;
    for (int bit = 0; bit < bits; ++bit) {
        result |= ((value >> bit) & 1) << (bits - 1 - bit);
    }
    return result;
}

template <int Bits>
constexpr std::array<int, 1 << Bits> ReversalTable() {
    std::array<int, 1 << Bits> table{};
    for (int v = 0; v < (1 << Bits); ++v) {
        table[static_cast<size_t>(v)] = Reversed(v, Bits);
    }
    return table;
}
constexpr auto kTileReversed = ReversalTable<kTileBits>();
constexpr auto kMiddleReversed = ReversalTable<kMiddleBits>();

struct Point {
    double re, im;
};
using Tile = std::array<std::array<Point, kTile>, kTile>;

// Index of the first double of row a (points (a, middle, 0..7)).
size_t TileRow(int a, int middle) {
    return static_cast<size_t>(1 + 2 * ((a << (kMiddleBits + kTileBits)) | (middle << kTileBits)));
}

void ReadTile(const double* x, int middle, Tile& tile) {
    for (int a = 0; a < kTile; ++a) {
        std::memcpy(tile[static_cast<size_t>(a)].data(), x + TileRow(a, middle), sizeof(tile[0]));
    }
}

// Tile `middle` receives `from` (the old content of its partner tile), transposed and
// reversed: element (a, b) takes from (rev b, rev a).
void WriteTileFrom(double* x, int middle, const Tile& from) {
    for (int a = 0; a < kTile; ++a) {
        double* const row = x + TileRow(a, middle);
        const auto column = static_cast<size_t>(kTileReversed[static_cast<size_t>(a)]);
        for (int b = 0; b < kTile; ++b) {
            const Point& p =
                from[static_cast<size_t>(kTileReversed[static_cast<size_t>(b)])][column];
            row[2 * b] = p.re;
            row[2 * b + 1] = p.im;
        }
    }
}

void BitReverse(SpectrumSpan data) {
    double* const x = data.data();
    Tile first;
    Tile second;
    for (int middle = 0; middle < (1 << kMiddleBits); ++middle) {
        const int partner = kMiddleReversed[static_cast<size_t>(middle)];
        if (partner < middle) {
            continue;  // swapped with its partner already
        }
        ReadTile(x, middle, first);
        if (partner != middle) {
            ReadTile(x, partner, second);
            WriteTileFrom(x, middle, second);
        }
        WriteTileFrom(x, partner, first);
    }
}

// One stage's factors from its recurrence, appended to `twiddles`.
void AppendStage(int mmax, double sinTheta, double sinHalfTheta, SpectrumTwiddles& twiddles) {
    const double wpr = -2.0 * sinHalfTheta * sinHalfTheta;
    const double wpi = sinTheta;
    double wr = 1.0;
    double wi = 0.0;
    for (int m = 1; m < mmax; m += 2) {
        twiddles.real.push_back(wr);
        twiddles.imag.push_back(wi);
        const double oldWr = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + oldWr * wpi + wi;
    }
}

SpectrumTwiddles MakeProductionTwiddles() {
    SpectrumTwiddles twiddles;
    twiddles.real.reserve(kSpectrumPoints);
    twiddles.imag.reserve(kSpectrumPoints);
    // mmax = 2^k: θ = 6.25 / 2^k and θ/2 = 6.25 / 2^(k+1), both exact.
    for (int k = 1, mmax = 2; mmax < n; ++k, mmax *= 2) {
        AppendStage(mmax, kProductionStageSines[static_cast<size_t>(k)],
                    kProductionStageSines[static_cast<size_t>(k + 1)], twiddles);
    }
    return twiddles;
}

}  // namespace

// sin(6.25 / 2^k) rounded to nearest; equal to glibc's sin at these arguments.
const std::array<double, 16> kProductionStageSines = {
    0.0,
    0x1.0fd770a03e5aap-6,
    0x1.fffb7d3f3a253p-1,
    0x1.6888a4e134b2fp-1,
    0x1.85e7a12826949p-2,
    0x1.8d7632efaa944p-3,
    0x1.8f5d5132710c4p-4,
    0x1.8fd7509334ec1p-5,
    0x1.8ff5d3e933863p-6,
    0x1.8ffd74f693394p-7,
    0x1.8fff5d3d69339p-8,
    0x1.8fffd74f56934p-9,
    0x1.8ffff5d3d5693p-10,
    0x1.8ffffd74f5569p-11,
    0x1.8fffff5d3d557p-12,
    0x1.8fffffd74f555p-13,
};

SpectrumTwiddles MakeSpectrumTwiddles(double thetaNumerator) {
    SpectrumTwiddles twiddles;
    twiddles.real.reserve(kSpectrumPoints);
    twiddles.imag.reserve(kSpectrumPoints);
    for (int mmax = 2; mmax < n; mmax *= 2) {
        const double theta = thetaNumerator / mmax;
        AppendStage(mmax, std::sin(theta), std::sin(0.5 * theta), twiddles);
    }
    return twiddles;
}

const SpectrumTwiddles& ProductionSpectrumTwiddles() {
    static const SpectrumTwiddles twiddles = MakeProductionTwiddles();
    return twiddles;
}

void TransformSpectrum(SpectrumSpan data) {
    TransformSpectrum(data, ProductionSpectrumTwiddles());
}

// Within a stage every butterfly touches its own pair of points, so walking the blocks in
// the outer loop and the factors in the inner one computes each butterfly with the same
// operands and the same operations as the loop as written: the results are bit-identical.
void TransformSpectrum(SpectrumSpan data, const SpectrumTwiddles& twiddles) {
    BitReverse(data);
    double* const x = data.data();
    for (int mmax = 2; mmax < n; mmax *= 2) {
        const int istep = 2 * mmax;
        const int half = mmax / 2;
        const double* const wr = twiddles.real.data() + (half - 1);
        const double* const wi = twiddles.imag.data() + (half - 1);
        for (int first = 1; first <= n; first += istep) {
            double* const a = x + first;
            double* const b = a + mmax;
            for (int t = 0; t < half; ++t) {
                const double br = b[2 * t];
                const double bi = b[2 * t + 1];
                const double tr = wr[t] * br - wi[t] * bi;
                const double ti = wr[t] * bi + wi[t] * br;
                b[2 * t] = a[2 * t] - tr;
                b[2 * t + 1] = a[2 * t + 1] - ti;
                a[2 * t] += tr;
                a[2 * t + 1] += ti;
            }
        }
    }
}

void TransformSpectrumAsWritten(SpectrumSpan data, double thetaNumerator) {
    BitReverseAsWritten(data);
    double* const x = data.data();
    int mmax = 2;
    while (mmax < n) {
        const int istep = 2 * mmax;
        const double theta = thetaNumerator / mmax;
        const double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 1; m < mmax; m += 2) {
            for (int i = m; i <= n; i += istep) {
                const int j = i + mmax;
                const double tr = wr * x[j] - wi * x[j + 1];
                const double ti = wr * x[j + 1] + wi * x[j];
                x[j] = x[i] - tr;
                x[j + 1] = x[i + 1] - ti;
                x[i] += tr;
                x[i + 1] += ti;
            }
            const double oldWr = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + oldWr * wpi + wi;
        }
        mmax = istep;
    }
}

}  // namespace harmovia
