#pragma once

// The main window: its controls are rows of a table (id, kind, text, help tag, rectangle
// as a function of the content size), built once and placed by one layout function. Clicks
// go to HandleControlEvent; the core changes what is shown through the public methods.

#include <QDialog>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string_view>
#include <vector>

#include "browse/display_area.h"
#include "shell/app_state.h"
#include "shell/command.h"

class QLabel;
class QPushButton;
class QTableView;

namespace harmovia {

class TuneListModel;

enum class ControlKind {
    PlayerButton,
    Slider,
    DisplayPanel,
    DisplayLine,
    SearchField,
    HintText,
    ColourButton,
    Popup,
    PushButton,
    TuneList,
    StatusText,
};

// A coordinate in content coordinates: offset plus, by its base, the content width W,
// half of it, or the content height H.
enum class Base : uint8_t { Zero, Width, HalfWidth, Height };
struct Coord {
    Base base;
    int offset;
    constexpr int At(int w, int h) const {
        switch (base) {
            case Base::Width:
                return w + offset;
            case Base::HalfWidth:
                return w / 2 + offset;
            case Base::Height:
                return h + offset;
            case Base::Zero:
                break;
        }
        return offset;
    }
};
constexpr Coord Px(int v) {
    return {Base::Zero, v};
}
constexpr Coord FromW(int v) {
    return {Base::Width, v};
}
constexpr Coord FromHalfW(int v) {
    return {Base::HalfWidth, v};
}
constexpr Coord FromH(int v) {
    return {Base::Height, v};
}

inline constexpr int kMainWindow = 1;  // its number among the program's windows

// The display panel and the tune list have no control id of their own; the table names
// them by these.
inline constexpr int32_t kDisplayPanelId = -1;
inline constexpr int32_t kTuneListId = -2;
inline constexpr int32_t kPlayButton = 11;
inline constexpr int32_t kBackButton = 12;
inline constexpr int32_t kForwardButton = 13;
inline constexpr int32_t kVolumeSlider = 17;
inline constexpr int32_t kGenrePopup = 40;
inline constexpr int32_t kStatusText = 1001;
inline constexpr int32_t kDisplayLine1 = 1004;
inline constexpr int32_t kDisplayLine2 = 1005;
inline constexpr int32_t kDisplayLine3 = 1006;
inline constexpr int32_t kSendPlaylistButton = 1007;
inline constexpr int32_t kCreatePlaylistButton = 1008;
inline constexpr int32_t kRefreshTunesButton = 1009;
inline constexpr int32_t kSearchHint = 8543;
inline constexpr int32_t kSearchField = 7000;
inline constexpr int32_t kFirstColourButton = 9001;
inline constexpr int32_t kLastColourButton = 9011;
// The colour buttons' row sits at 75 when the window is built and at 77 once it has been
// resized.
inline constexpr int kColourRowTopAtBuild = 75;
inline constexpr int kColourRowTopAfterResize = 77;
inline constexpr int kMinimumWindowWidth = 1200;
inline constexpr int kMinimumWindowHeight = 700;
inline constexpr int kTopBand = 137;
inline constexpr int kBottomBand = 50;

struct ControlSpec {
    int32_t id;
    ControlKind kind;
    std::string_view text;
    std::string_view helpTag;
    Coord left, top, right, bottom;
    Command command = Command::None;  // what a hit on it does
};

// Colour button n (0..10) lies at W/2 - 351 + 65 n; its top is the row's.
constexpr ControlSpec ColourButtonSpec(int n, std::string_view helpTag) {
    return {kFirstColourButton + n,
            ControlKind::ColourButton,
            "",
            helpTag,
            FromHalfW(-351 + 65 * n),
            Px(0),
            FromHalfW(-351 + 65 * n + 48),
            Px(48),
            Command::ColourButton};
}

// In build order.
inline constexpr std::array<ControlSpec, 26> kMainWindowControls = {{
    {kSearchField, ControlKind::SearchField, "", "", FromW(-218), Px(14), FromW(-18), Px(36),
     Command::Search},
    {kSearchHint, ControlKind::HintText, "Search title, artist, album or genre.", "", FromW(-210),
     Px(44), FromW(-5), Px(64)},
    {kDisplayPanelId, ControlKind::DisplayPanel, "", "", Px(237), Px(3), FromW(-250), Px(66)},
    {kDisplayLine1, ControlKind::DisplayLine, "-", "", Px(240), Px(11), FromW(-240), Px(24)},
    {kDisplayLine2, ControlKind::DisplayLine, "All Tunes", "", Px(240), Px(26), FromW(-240),
     Px(39)},
    {kDisplayLine3, ControlKind::DisplayLine, "-", "", Px(240), Px(41), FromW(-240), Px(54)},
    {kGenrePopup, ControlKind::Popup, "", "", Px(20), Px(88), Px(220), Px(108),
     Command::GenrePopup},
    {kSendPlaylistButton, ControlKind::PushButton, "Send Playlist To iTunes", "", FromW(-220),
     FromH(-36), FromW(-20), FromH(-16), Command::SendPlaylist},
    {kCreatePlaylistButton, ControlKind::PushButton, "Create Playlist From Tune", "", FromW(-216),
     Px(88), FromW(-16), Px(108), Command::TuneBasedButton},
    {kRefreshTunesButton, ControlKind::PushButton, "Refresh Tunes In iTunes", "", Px(20),
     FromH(-36), Px(220), FromH(-16), Command::AddTunesFromMusicFolder},
    ColourButtonSpec(0, "Click To Show All Tunes"),
    ColourButtonSpec(1, "Click To Play Deep Relaxation Tunes"),
    ColourButtonSpec(2, "Click To Play Cool Blue Chill Tunes"),
    ColourButtonSpec(3, "Click To Play Dinner & Drinks Tunes"),
    ColourButtonSpec(4, "Click To Play Lite & Lively Tunes"),
    ColourButtonSpec(5, "Click To Play Move & Groove Tunes"),
    ColourButtonSpec(6, "Click To Play Uptempo Workout Tunes"),
    ColourButtonSpec(7, "Click To Play Intense Activity Tunes"),
    ColourButtonSpec(8, "Click To Play Dance, Dance, Dance Tunes"),
    ColourButtonSpec(9, "Click To Play Maximum Wild Tues"),
    ColourButtonSpec(10, "Click To Show Last Added"),
    {kBackButton, ControlKind::PlayerButton, "", "Back Tune", Px(65), Px(8), Px(97), Px(40),
     Command::BackButton},
    {kPlayButton, ControlKind::PlayerButton, "", "Play/Stop", Px(95), Px(-1), Px(143), Px(47),
     Command::PlayButton},
    {kForwardButton, ControlKind::PlayerButton, "", "Next Tune", Px(141), Px(8), Px(173), Px(40),
     Command::ForwardButton},
    {kVolumeSlider, ControlKind::Slider, "", "", Px(42), Px(51), Px(198), Px(71)},
    {kStatusText, ControlKind::StatusText, "", "", FromHalfW(-200), FromH(-31), FromHalfW(200),
     FromH(-15)},
}};
inline constexpr ControlSpec kTuneListSpec = {
    kTuneListId, ControlKind::TuneList, "", "", Px(0), Px(kTopBand), FromW(0), FromH(-kBottomBand)};

// The order Tab takes through the window: the search field, the pop-up, the colour buttons
// left to right, the player buttons, the slider, the list and the three push buttons.
inline constexpr std::array<int32_t, 21> kTabOrder = {kSearchField,
                                                      kGenrePopup,
                                                      kFirstColourButton,
                                                      9002,
                                                      9003,
                                                      9004,
                                                      9005,
                                                      9006,
                                                      9007,
                                                      9008,
                                                      9009,
                                                      9010,
                                                      kLastColourButton,
                                                      kBackButton,
                                                      kPlayButton,
                                                      kForwardButton,
                                                      kVolumeSlider,
                                                      kTuneListId,
                                                      kCreatePlaylistButton,
                                                      kRefreshTunesButton,
                                                      kSendPlaylistButton};

// What a screen reader calls a control that shows no text of its own (a colour button is
// named after its list: "All Tunes", "Deep Relaxation" .. "Maximum Wild", "Last Added");
// empty for a control whose own text names it. The help tag, where there is one, is the
// description.
std::string_view AccessibleNameOf(int32_t id, bool playing = false);

// The local files and folders of a drop, in the order given; nothing for other URLs.
std::vector<std::filesystem::path> DroppedPaths(const QList<QUrl>& urls);

// Where a control lies in content coordinates (left, top, right, bottom) in a content area
// w x h; `resized` says whether the window has been resized since it was built.
struct ControlRect {
    int left, top, right, bottom;
    bool operator==(const ControlRect&) const = default;
};
ControlRect PlaceControl(const ControlSpec& spec, int w, int h, bool resized);

class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(App& app);
    ~MainWindow() override;

    // The player's shapes: the play button (1 idle, 2 playing), the display lines, the
    // selected view row, and a refill of the list and status line from the view.
    void SetPlayButton(int state);
    void ShowDisplayLines(const DisplayAreaLines& lines);
    void SelectListRow(int32_t row);
    void RefreshList();
    void SetPlayingRow(const PlayingMarker& marker);
    void ShowStatusLine();
    void ShowWelcomeSheet();

    QWidget* Control(int32_t id) const;
    QTableView* TuneList() const { return list_; }
    TuneListModel& Model() const { return *model_; }
    QDialog* WelcomeSheet() const { return welcome_; }
    // Pop-up 40: the chosen genre item (1..29) and the mood of the last choice.
    int PopupItem() const { return popupItem_; }
    int PopupMood() const { return popupMood_; }
    // The size the controls are laid out for (the content area) and whether the window
    // has been resized since it was built.
    QSize ContentSize() const;
    bool Resized() const { return resized_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files and folders dropped on the window are added as the File menu adds a folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The keys of the button rows (arrows along the row, Return and Space press) and
    // Return in the list (plays the selected tune).
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    QWidget* MakeControl(const ControlSpec& spec, QWidget* content);
    // The one layout function: every control at its rectangle for the current size.
    void LayOut();
    // Names, descriptions and the Tab order for keyboards and screen readers.
    void MakeReachable();
    // The list's context menu: the row under the pointer is selected, then offered what
    // Edit offers for one tune.
    void ShowListMenu(const QPoint& at);

    App& app_;
    QWidget* content_ = nullptr;
    std::map<int32_t, QPointer<QWidget>> controls_;
    TuneListModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QPointer<QDialog> welcome_;
    QSize builtSize_;
    bool resized_ = false;
    int popupItem_ = 1;
    int popupMood_ = 0;
};

}  // namespace harmovia
