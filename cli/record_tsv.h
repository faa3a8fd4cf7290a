#pragma once

#include <cstdint>
#include <string>

#include "library/tune_record.h"

namespace harmovia {

// The tab-separated form of a tune for the CLI's lists: one header line and one row per
// tune, texts in UTF-8 with a tab, a line break and a backslash written as \t, \n, \r
// and \\.
std::string TuneRecordTsvHeader();
std::string TuneRecordTsv(const TuneRecord& record, int32_t slot);

}  // namespace harmovia
