#pragma once

// The real script runner: the `osascript` command (macOS), given the script on its
// standard input. Started directly, never through a shell, so nothing in the script text
// reaches one.

#include <filesystem>
#include <string_view>

#include "export/script_runner.h"
#include "platform/app_folders.h"

namespace harmovia {

// The first executable regular file named `program` in the folders of `searchPath` (a
// PATH value); relative folders are skipped. Empty when there is none.
std::filesystem::path FindProgramOnPath(std::string_view program, std::string_view searchPath);

class OsascriptRunner final : public ScriptRunner {
  public:
    // Looks for osascript on the PATH `environment` gives.
    explicit OsascriptRunner(const EnvironmentLookup& environment);

    // Whether osascript was found; when not, every run answers "AppleScript is not
    // available", -1.
    bool IsAvailable() const { return !program_.empty(); }

    // Runs `osascript -` with the script on standard input. Exit status 0: code 0 and
    // the printed result; a reported script error: the script error code and its message;
    // osascript not started: "ERROR: Couldn't launch AppleScript", -1; any other end:
    // "ERROR: An error has occurred.", -1. Blocks until osascript ends.
    ScriptRunResult Run(std::string_view scriptText) override;

  private:
    std::filesystem::path program_;
};

// The brief message of osascript's error output ("-:10:31: execution error: Can't get
// playlist \"x\". (-1728)" gives "Can't get playlist \"x\"."); empty when it reports no
// error.
std::string OsascriptErrorMessage(std::string_view errorOutput);

}  // namespace harmovia
