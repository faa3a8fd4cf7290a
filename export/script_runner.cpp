#include "export/script_runner.h"

#include "library/mac_roman.h"

namespace harmovia {

RunScriptResult RunScript(ScriptBuffer& buffer, ScriptRunner& runner) {
    ScriptRunResult run = runner.Run(buffer.Text);
    const RunScriptResult result{run.code, PStr(Utf8ToMacRoman(run.result))};
    if (run.code == 0 || run.code == kScriptErrorCode) {
        buffer.Text = std::move(run.result);
    }
    return result;
}

}  // namespace harmovia
