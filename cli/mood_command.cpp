#include "cli/mood_command.h"

#include <optional>

#include "analysis/mood_by_hand.h"
#include "analysis/mood_explanation.h"
#include "cli/terminal_text.h"
#include "cli/view_request.h"
#include "library/mac_roman.h"
#include "library/mood.h"

namespace harmovia {
namespace {

constexpr const char* kMoodCommandsUsage =
    "set-mood and explain name a tune by its library slot (as list shows it) or by\n"
    "  --title TEXT                 the tune whose title is TEXT, exactly\n"
    "set-mood takes the mood K (1..9) or \"measured\", the one the measurement gave\n";

std::string MoodName(int32_t mood) {
    return MacRomanToUtf8(MoodTable[static_cast<size_t>(mood)].name);
}

}  // namespace

const char* MoodCommandsUsage() {
    return kMoodCommandsUsage;
}

int ParseMoodRequest(const std::vector<std::string>& args, bool withMood, MoodRequest& request,
                     std::FILE* err) {
    const char* command = withMood ? "set-mood" : "explain";
    size_t next = 0;
    if (args.size() >= 2 && args[0] == "--title") {
        request.title = args[1];
        next = 2;
    } else if (!args.empty() && !args[0].starts_with("-")) {
        request.slot = args[0];
        next = 1;
    }
    const size_t expected = next + (withMood ? 1 : 0);
    if (next == 0 || args.size() != expected) {
        return ReportProblem(err, command,
                             withMood ? "give SLOT or --title TEXT, then a mood 1..9 or measured"
                                      : "give SLOT or --title TEXT",
                             2);
    }
    if (!request.slot.empty() && !ParseWholeNumber(request.slot)) {
        return ReportProblem(err, command, "the slot must be a whole number", 2);
    }
    if (request.title.empty() && request.slot.empty()) {
        return ReportProblem(err, command, "the title is empty", 2);
    }
    if (withMood) {
        const std::string& mood = args[next];
        const std::optional<int32_t> number = ParseWholeNumber(mood);
        if (mood == "measured") {
            request.mood = 0;
        } else if (number && IsMood(*number)) {
            request.mood = *number;
        } else {
            return ReportProblem(err, command, "the mood must be a number from 1 to 9, or measured",
                                 2);
        }
    }
    return 0;
}

int FindRequestedTune(const MoodRequest& request, const Library& library, const char* command,
                      int32_t& slot, std::FILE* err) {
    if (!request.slot.empty()) {
        slot = ParseWholeNumber(request.slot).value_or(0);
        if (slot < 1 || slot > library.TuneCount) {
            return ReportProblem(err, command,
                                 "no tune in slot " + request.slot + " (the library holds " +
                                     std::to_string(library.TuneCount) + ")",
                                 1);
        }
        return 0;
    }
    const std::string title = Utf8ToMacRoman(request.title);
    std::vector<int32_t> found;
    for (int32_t s = 1; s <= library.TuneCount; ++s) {
        if (library[s].Title.view() == title) {
            found.push_back(s);
        }
    }
    if (found.size() == 1) {
        slot = found.front();
        return 0;
    }
    if (found.empty()) {
        return ReportProblem(err, command, "no tune is titled \"" + request.title + "\"", 1);
    }
    std::string slots;
    for (const int32_t s : found) {
        slots += (slots.empty() ? "" : ", ") + std::to_string(s);
    }
    return ReportProblem(err, command,
                         CountOf(static_cast<long long>(found.size()), "tune") + " are titled \"" +
                             request.title + "\" (slots " + slots + "); name one by its slot",
                         1);
}

int RunSetMood(const MoodRequest& request, Library& library, int32_t slot, std::FILE* out,
               std::FILE* err) {
    TuneRecord& record = library.Slots.Write(slot);
    if (ChooseMood(record, request.mood) == MoodChoice::NotMeasured) {
        return ReportProblem(err, "set-mood",
                             "the tune in slot " + std::to_string(slot) +
                                 " keeps no measured mood to come back to (its record is "
                                 "damaged); nothing was changed",
                             1);
    }
    RecountMoods(library);
    const std::string how = IsMoodSetByHand(record)
                                ? "set by hand (measured " + MoodName(MeasuredMood(record)) + ")"
                                : "as measured";
    std::fprintf(out, "%d\t%s\t%s, %s\n", slot, MacRomanToUtf8(record.Title.view()).c_str(),
                 MoodName(record.Mood).c_str(), how.c_str());
    return 0;
}

int RunExplain(const Library& library, int32_t slot, std::FILE* out) {
    std::fprintf(out, "%s\n", MacRomanToUtf8(ExplainMood(library[slot])).c_str());
    return 0;
}

}  // namespace harmovia
