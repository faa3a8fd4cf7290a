#pragma once

#include <string>

namespace harmovia::bench {

// Asks the bench's main() to print, after the run, the ratio of two benchmarks' mean real
// times: "<name>: <numerator> / <denominator> = 1.23". Call before main() runs (from a
// static initialiser, via HARMOVIA_RATIO).
void AddRatio(const std::string& name, const std::string& numerator,
              const std::string& denominator);

}  // namespace harmovia::bench

#define HARMOVIA_RATIO_CONCAT2(a, b) a##b
#define HARMOVIA_RATIO_CONCAT(a, b) HARMOVIA_RATIO_CONCAT2(a, b)
#define HARMOVIA_RATIO(name, numerator, denominator)                          \
    static const bool HARMOVIA_RATIO_CONCAT(harmovia_ratio_, __LINE__) = [] { \
        ::harmovia::bench::AddRatio(name, numerator, denominator);            \
        return true;                                                          \
    }()
