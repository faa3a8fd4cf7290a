#include "platform/tune_sequence.h"

#include <algorithm>

namespace harmovia {

void TuneSequence::Append(SampleSource& source, bool first) {
    const std::lock_guard lock(mutex_);
    const Entry entry{&source, {}};
    if (!first) {
        entries_.push_back(entry);
        return;
    }
    // Before the first tune still to be pulled; the exhausted ones keep their places.
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [](const Entry& e) { return e.span.end < 0; });
    entries_.insert(at, entry);
}

FrameSpan TuneSequence::Remove(const SampleSource& source) {
    const std::lock_guard lock(mutex_);
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.source == &source; });
    if (at == entries_.end()) {
        return {};
    }
    const FrameSpan span = at->span;
    entries_.erase(at);
    return span;
}

FrameSpan TuneSequence::SpanOf(const SampleSource& source) const {
    const std::lock_guard lock(mutex_);
    for (const Entry& e : entries_) {
        if (e.source == &source) {
            return e.span;
        }
    }
    return {};
}

int64_t TuneSequence::FramesPulled() const {
    const std::lock_guard lock(mutex_);
    return pulled_;
}

size_t TuneSequence::Pull(std::span<int16_t> samples) {
    const std::lock_guard lock(mutex_);
    const auto channels = static_cast<size_t>(channels_);
    size_t got = 0;
    for (Entry& e : entries_) {
        if (e.span.end >= 0) {
            continue;
        }
        if (got == samples.size()) {
            break;
        }
        if (e.span.first < 0) {
            e.span.first = pulled_;
        }
        const size_t taken = e.source->Pull(samples.subspan(got));
        got += taken;
        pulled_ += static_cast<int64_t>(taken / channels);
        // Exhausted is final once it holds, so nothing can arrive after this end.
        if (!e.source->Exhausted()) {
            break;  // full, or its decoder is behind: the next tune must wait its turn
        }
        e.span.end = pulled_;
    }
    return got;
}

bool TuneSequence::Exhausted() const {
    const std::lock_guard lock(mutex_);
    return std::all_of(entries_.begin(), entries_.end(),
                       [](const Entry& e) { return e.span.end >= 0; });
}

}  // namespace harmovia
