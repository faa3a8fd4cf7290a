#pragma once

// The Mood Journey sheet (Playlists › "Mood Journey…"): the mood the journey starts from, the
// mood it walks to, its length in tunes or minutes, "Endless", and OK and Cancel. The journey
// itself is built in browse/mood_journey.

#include <QDialog>
#include <QPointer>
#include <cstdint>

#include "browse/view_state.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace harmovia {

struct App;

inline constexpr int kJourneySheetWindow = 4100;
inline constexpr int32_t kJourneyFromBox = 23090;
inline constexpr int32_t kJourneyToBox = 23091;
inline constexpr int32_t kJourneyLengthField = 23092;
inline constexpr int32_t kJourneyUnitBox = 23093;
inline constexpr int32_t kJourneyEndlessBox = 23094;
inline constexpr int32_t kJourneyOkButton = 23095;
inline constexpr int32_t kJourneyCancelButton = 23096;

class JourneySheet {
  public:
    // Builds and shows the sheet over the main window, with the titles of menus 1, 3 and 4
    // disabled.
    explicit JourneySheet(App& app);
    ~JourneySheet();
    JourneySheet(const JourneySheet&) = delete;
    JourneySheet& operator=(const JourneySheet&) = delete;

    QDialog* Sheet() const { return sheet_; }
    // The journey the sheet describes, with `seed`.
    JourneyRequest Request(uint32_t seed) const;

  private:
    App& app_;
    QPointer<QDialog> sheet_;
    QComboBox* from_ = nullptr;
    QComboBox* to_ = nullptr;
    QSpinBox* length_ = nullptr;
    QComboBox* unit_ = nullptr;  // item 0 tunes, item 1 minutes
    QCheckBox* endless_ = nullptr;
};

// Playlists › "Mood Journey…": opens the sheet (three beeps with an empty library).
void MoodJourneyCommand(App& app);
// OK: the sheet closes and the journey is built and starts playing, as a mood view does; a
// path without tunes says "No tunes found..." and leaves the list as it was.
void JourneySheetOk(App& app);
void CloseJourneySheet(App& app);

}  // namespace harmovia
