// The real runner over stand-in `osascript` programs written by the test.

#include "export/osascript_runner.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

TEST(OsascriptRunner, RunsTheProgramWithTheScriptOnItsInput) {
    // More than a pipe holds, both ways: feeding and reading must go on together.
    std::string bigScript;
    while (bigScript.size() < 300'000) {
        bigScript += "set x to \"\\\"$(touch owned)\" & `id`\r";
    }
    const struct {
        const char* what;
        std::string program;  // the stand-in's shell text behind "#!/bin/sh"; empty: none
        std::string script;
        ScriptRunResult result;
    } cases[] = {
        {"not installed", "", "activate", {-1, "AppleScript is not available"}},
        {"script given on input", "exec cat\n", bigScript, {0, bigScript}},
        {"only '-' as argument", "printf '%s|' \"$@\"\n", "x", {0, "-|"}},
        {"result's line feed dropped", "cat >/dev/null\necho 'a b'\n", "x", {0, "a b"}},
        {"script error",
         "echo '-:5:6: execution error: No. (-1728)' >&2\nexit 1\n",
         "x",
         {-1753, "No."}},
        {"ends without reading", "exit 3\n", bigScript, {-1, "ERROR: An error has occurred."}},
        {"cannot start", "#!/missing/interpreter", "x", {-1, "ERROR: Couldn't launch AppleScript"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempFolder bin;
        if (!c.program.empty()) {
            const std::string text = (c.program.starts_with("#!") ? "" : "#!/bin/sh\n") + c.program;
            std::ofstream(bin / "osascript") << text;
            std::filesystem::permissions(bin / "osascript", std::filesystem::perms::owner_all);
        }
        const std::string path = "relative:" + bin.path().string() + ":/nonexistent";
        OsascriptRunner runner([&path](const char* name) {
            return std::string_view(name) == "PATH" ? std::optional(path) : std::nullopt;
        });
        EXPECT_EQ(runner.IsAvailable(), !c.program.empty());
        const ScriptRunResult run = runner.Run(c.script);
        EXPECT_TRUE(run.code == c.result.code && run.result == c.result.result)
            << run.code << " " << run.result.substr(0, 200);
    }
}

}  // namespace
}  // namespace harmovia
