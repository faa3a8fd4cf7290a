#include "cli/list_command.h"

#include <charconv>

#include "cli/record_json.h"
#include "cli/record_tsv.h"
#include "cli/terminal_text.h"

namespace harmovia {

int RunListCommand(const std::vector<std::string>& args, const Library& library, std::FILE* out,
                   std::FILE* err) {
    int mood = 0;
    std::string format = "tsv";
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--mood" && hasValue) {
            const std::string& value = args[++i];
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), mood);
            if (error != std::errc() || end != value.data() + value.size() || !IsMood(mood)) {
                return ReportProblem(err, "list", "--mood takes a mood from 1 to 9", 2);
            }
        } else if (args[i] == "--format" && hasValue &&
                   (args[i + 1] == "tsv" || args[i + 1] == "json")) {
            format = args[++i];
        } else {
            return ReportProblem(err, "list", "unexpected '" + args[i] + "'", 2);
        }
    }
    if (format == "tsv") {
        std::fprintf(out, "%s\n", TuneRecordTsvHeader().c_str());
    }
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        if (mood != 0 && library[slot].Mood != mood) {
            continue;
        }
        const std::string line = format == "json" ? TuneRecordJson(library[slot], slot)
                                                  : TuneRecordTsv(library[slot], slot);
        std::fprintf(out, "%s\n", line.c_str());
    }
    return 0;
}

int RunMoodsCommand(const Library& library, std::FILE* out) {
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        std::fprintf(out, "%d\t%s\t%d\n", mood, std::string(MoodTable[mood].name).c_str(),
                     library.MoodCounts[static_cast<size_t>(mood)]);
    }
    return 0;
}

}  // namespace harmovia
