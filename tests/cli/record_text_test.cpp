// A record as the CLI writes it: JSON without the spare areas, TSV fields that survive a
// tab or a line break, and a location that is not UTF-8 still reachable.

#include <string>

#include <gtest/gtest.h>

#include "cli/record_json.h"
#include "cli/record_tsv.h"

namespace harmovia {
namespace {

TEST(RecordText, JsonAndTsv) {
    TuneRecord r;
    r.Title.Set("a\tb\nc\\d");
    r.FileKind = kFileKindOpus;
    const struct {
        const char* what;
        std::string location, jsonHas, tsvEnd;
        int32_t mood = 3;
    } cases[] = {
        {"UTF-8", "/m/caf\xC3\xA9.mp3", "\"Location\":\"/m/caf\xC3\xA9.mp3\",",
         "\t/m/caf\xC3\xA9.mp3"},
        {"Latin-1", "/m/\xE9t\xE9.mp3",
         "\"Location\":\"/m/\\u00e9t\\u00e9.mp3\",\"LocationBytes\":\"2f6d2fe974e92e6d7033\",",
         "\t/m/\xEF\xBF\xBDt\xEF\xBF\xBD.mp3"},
        {"a cut UTF-8 sequence", "/m/a\xC3",
         "\"Location\":\"/m/a\\u00c3\",\"LocationBytes\":\"2f6d2f61c3\"", "\t/m/a\xEF\xBF\xBD"},
        {"a tab in the path", "/m/a\tb", "\"Location\":\"/m/a\\tb\"", "\t/m/a\\tb"},
        {"a damaged mood", "/m/x", "\"Mood\":12,", "\t/m/x", 12},
        {"a negative mood", "/m/x", "\"Mood\":-1,", "\t/m/x", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.Location.Set(c.location);
        r.Mood = c.mood;
        const std::string json = TuneRecordJson(r, 4);
        EXPECT_NE(json.find(c.jsonHas), std::string::npos) << json;
        const bool damaged = c.mood < 1 || c.mood > 9;
        EXPECT_EQ(json.find("\"Damaged\":true") != std::string::npos, damaged) << json;
        EXPECT_NE(json.find("\"FileKind\":7,\"Type\":\"Opus\","), std::string::npos) << json;
        EXPECT_EQ(json.find("Spare"), std::string::npos) << json;
        EXPECT_EQ(json.find("Reserved"), std::string::npos) << json;
        EXPECT_NE(json.find("\"Title\":\"a\\tb\\nc\\\\d\""), std::string::npos) << json;
        const std::string tsv = TuneRecordTsv(r, 4);
        EXPECT_TRUE(tsv.ends_with(c.tsvEnd)) << tsv;
        EXPECT_NE(tsv.find("\ta\\tb\\nc\\\\d\t"), std::string::npos) << tsv;
    }
}

}  // namespace
}  // namespace harmovia
