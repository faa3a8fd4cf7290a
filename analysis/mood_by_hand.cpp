#include "analysis/mood_by_hand.h"

#include "analysis/mood_scoring.h"
#include "library/mood.h"

namespace harmovia {
namespace {

int32_t MarkedMood(const TuneRecord& record) {
    return record.MoodMark > kMoodMarkBase && record.MoodMark <= kMoodMarkBase + kMoodCount
               ? record.MoodMark - kMoodMarkBase
               : 0;
}

void SetMoodAndColour(TuneRecord& record, int32_t mood) {
    record.Mood = mood;
    const MoodColour& colour = MoodTable[static_cast<size_t>(mood)].colour;
    record.MoodColourRed = colour.red;
    record.MoodColourGreen = colour.green;
    record.MoodColourBlue = colour.blue;
}

}  // namespace

bool IsMoodSetByHand(const TuneRecord& record) {
    const int32_t kept = MarkedMood(record);
    return kept != 0 && kept == MoodForEnergy(record.MoodEnergy) && record.Mood != kept &&
           IsMood(record.Mood);
}

int32_t MeasuredMood(const TuneRecord& record) {
    return IsMoodSetByHand(record) ? MarkedMood(record) : record.Mood;
}

MoodChoice ChooseMood(TuneRecord& record, int32_t mood) {
    if (mood < 0 || mood > kMoodCount) {
        return MoodChoice::Unchanged;
    }
    const bool byHand = IsMoodSetByHand(record);
    const int32_t measured = MeasuredMood(record);
    if (!byHand && measured != MoodForEnergy(record.MoodEnergy)) {
        return MoodChoice::NotMeasured;
    }
    const int32_t wanted = mood == 0 ? measured : mood;
    if (wanted == measured) {
        if (!byHand) {
            return MoodChoice::Unchanged;
        }
        SetMoodAndColour(record, measured);
        record.MoodMark = 0;
        return MoodChoice::Changed;
    }
    if (byHand && record.Mood == wanted) {
        return MoodChoice::Unchanged;
    }
    SetMoodAndColour(record, wanted);
    record.MoodMark = static_cast<uint8_t>(kMoodMarkBase + measured);
    return MoodChoice::Changed;
}

void CopyChosenMood(const TuneRecord& from, TuneRecord& to) {
    to.Mood = from.Mood;
    to.MoodColourRed = from.MoodColourRed;
    to.MoodColourGreen = from.MoodColourGreen;
    to.MoodColourBlue = from.MoodColourBlue;
    to.MoodMark = from.MoodMark;
}

}  // namespace harmovia
