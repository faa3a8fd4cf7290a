#include "export/apple_script.h"

namespace harmovia {

void WriteScriptLine(ScriptBuffer& buffer, std::string_view line) {
    buffer.Text += line;
    buffer.Text += '\r';
}

std::string AppleScriptString(std::string_view text) {
    std::string literal = "\"";
    literal.reserve(text.size() + 2);
    for (const char c : text) {
        switch (c) {
            case '\\':
                literal += "\\\\";
                break;
            case '"':
                literal += "\\\"";
                break;
            // Escaped so that a script line stays one line.
            case '\r':
                literal += "\\r";
                break;
            case '\n':
                literal += "\\n";
                break;
            default:
                literal += c;
        }
    }
    literal += '"';
    return literal;
}

void WriteTrackScript(ScriptBuffer& buffer, std::string_view quotedName,
                      std::string_view quotedPath) {
    const std::string q(quotedName);
    const std::string p(quotedPath);
    WriteScriptLine(buffer, "tell application \"iTunes\"");
    WriteScriptLine(buffer, "try");
    WriteScriptLine(buffer, "with timeout of 300 seconds");
    WriteScriptLine(buffer, "set myTrack to (add " + p + ")");
    WriteScriptLine(buffer, "set dbid to myTrack's database ID");
    WriteScriptLine(buffer, "if not (exists playlist " + q +
                                ") then make new user playlist with properties {name:" + q + "}");
    WriteScriptLine(buffer, "if not (exists (some track of playlist " + q +
                                " whose database ID is dbid)) then");
    WriteScriptLine(buffer, "duplicate myTrack to playlist  " + q);
    WriteScriptLine(buffer, "end if");
    WriteScriptLine(buffer, "end timeout");
    WriteScriptLine(buffer, "end try");
    WriteScriptLine(buffer, "end tell");
}

void WriteActivateScript(ScriptBuffer& buffer) {
    WriteScriptLine(buffer, "tell application \"iTunes\"");
    WriteScriptLine(buffer, "activate");
    WriteScriptLine(buffer, "end tell");
}

}  // namespace harmovia
