#pragma once

// What the suites that play real test audio share: their files, made once for all their
// tests, and waiting on players whose decoders run on threads of their own.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia::testing {

// A fresh folder holding each named file as its description says.
inline std::unique_ptr<TempFolder> MakeTestAudioFolder(
    const std::vector<std::pair<std::string, TestAudio>>& files) {
    auto folder = std::make_unique<TempFolder>();
    for (const auto& [name, audio] : files) {
        MakeTestAudio(*folder / name, audio);
    }
    return folder;
}

// Calls `step` until `done` holds; false when that takes a minute (a hang, not a slow machine).
inline bool StepUntil(const std::function<bool()>& done, const std::function<void()>& step) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        step();
    }
    return true;
}

}  // namespace harmovia::testing
