#pragma once

// Running a script text: the runner is the seam between the send and the platform's
// scripting (osascript on macOS; none elsewhere; a recording runner in tests).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/apple_script.h"
#include "library/pstr.h"

namespace harmovia {

inline constexpr int32_t kScriptErrorCode = -1753;  // the script failed to compile or run
inline constexpr int32_t kScriptRunnerErrorCode = -1;

inline constexpr std::string_view kScriptingNotAvailableText = "AppleScript is not available";
inline constexpr std::string_view kScriptLaunchFailedText = "ERROR: Couldn't launch AppleScript";
inline constexpr std::string_view kScriptRunFailedText = "ERROR: An error has occurred.";

// What one run came to. `code` 0: `result` is the script's result; kScriptErrorCode:
// `result` is the script's brief error message; any other code: `result` says what failed.
// UTF-8.
struct ScriptRunResult {
    int32_t code = 0;
    std::string result;
};

class ScriptRunner {
  public:
    virtual ~ScriptRunner() = default;
    // Runs the script text and waits for it to end.
    virtual ScriptRunResult Run(std::string_view scriptText) = 0;
};

// Keeps every script it is given and answers each with the same result.
class RecordingScriptRunner final : public ScriptRunner {
  public:
    explicit RecordingScriptRunner(ScriptRunResult answer = {}) : answer_(std::move(answer)) {}
    ScriptRunResult Run(std::string_view scriptText) override {
        scripts.emplace_back(scriptText);
        return answer_;
    }

    std::vector<std::string> scripts;

  private:
    ScriptRunResult answer_;
};

struct RunScriptResult {
    int32_t code = 0;
    PStr resultText;  // Mac Roman, the first 255 characters
};

// Runs the buffer's script. When the script ran (code 0) or failed inside (the script
// error code), the buffer is replaced by the result, which may be empty.
RunScriptResult RunScript(ScriptBuffer& buffer, ScriptRunner& runner);

}  // namespace harmovia
