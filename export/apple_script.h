#pragma once

// The scripts that put tunes into a playlist of the music player and bring it to the front,
// as texts for a script runner. Every string the scripts carry is written as an escaped
// AppleScript literal, so a name or a path can hold any character, quotes included, and
// never becomes code.

#include <string>
#include <string_view>

namespace harmovia {

// The text of one script, built line by line. Each line ends in a carriage return (13).
// UTF-8, as the script runner hands it on. Lines are never cut: a cut line would make a
// script that silently sends nothing.
struct ScriptBuffer {
    std::string Text;
};

// Appends `line` and its carriage return.
void WriteScriptLine(ScriptBuffer& buffer, std::string_view line);

// `text` (UTF-8) as an AppleScript string literal: between double quotes, with backslash,
// double quote, carriage return and line feed escaped.
std::string AppleScriptString(std::string_view text);

// The twelve lines that add one file to the music player and put its track into the user
// playlist once, making the playlist when it is missing. `quotedName` and `quotedPath` are
// literals made by AppleScriptString.
void WriteTrackScript(ScriptBuffer& buffer, std::string_view quotedName,
                      std::string_view quotedPath);

// The three lines that bring the music player to the front.
void WriteActivateScript(ScriptBuffer& buffer);

}  // namespace harmovia
