#pragma once

#include <cstdint>
#include <string>

#include "library/tune_record.h"

namespace harmovia {

// One JSON object (one line, no newline) holding every named field of the record under its
// field name, texts converted from Mac Roman to UTF-8, arrays as arrays (entries 1..30 of the
// peak arrays), spare and reserved areas left out, plus "Slot": slot and, behind
// "FileKind", "Type": the kind's name as the list shows it. Location, a native
// path, is written as it is when it is UTF-8; otherwise each byte that is not is written as
// \u00XX (its Latin-1 value) and "LocationBytes" holds the path's bytes in hex. A record
// whose Mood is outside 0..9 gets "Damaged": true; one whose mood was set by hand gets
// "MoodSetByHand": true and "MeasuredMood": the mood the measurement gave.
std::string TuneRecordJson(const TuneRecord& record, int32_t slot);

// A JSON string literal (with quotes) of UTF-8 text.
std::string JsonString(std::string_view utf8);

// Native path bytes as UTF-8: bytes that are not valid UTF-8 become U+FFFD.
std::string PathTextAsUtf8(std::string_view native);

}  // namespace harmovia
