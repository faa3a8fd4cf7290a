#pragma once

#include <cstdint>
#include <string>

#include "library/tune_record.h"

namespace harmovia {

// One JSON object (one line, no newline) holding every named field of the record under its
// field name, texts converted from Mac Roman to UTF-8 (Location, a native path, as it is),
// arrays as arrays (entries 1..30 of the peak arrays), spare byte areas left out, plus
// "Slot": slot.
std::string TuneRecordJson(const TuneRecord& record, int32_t slot);

// A JSON string literal (with quotes) of UTF-8 text.
std::string JsonString(std::string_view utf8);

// Native path bytes as UTF-8: bytes that are not valid UTF-8 become U+FFFD.
std::string PathTextAsUtf8(std::string_view native);

}  // namespace harmovia
