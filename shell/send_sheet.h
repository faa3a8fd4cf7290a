#pragma once

// The send sheet (window 4000): the playlist's name, how many tunes to send, the progress
// bar that advances per row, and Send and Cancel.

#include <QDialog>
#include <QPointer>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace harmovia {

struct App;

inline constexpr int kSendSheetWindow = 4000;
inline constexpr int32_t kSendNameField = 23072;
inline constexpr int32_t kSendCountField = 10005;
inline constexpr int32_t kSendProgressBar = 23080;
inline constexpr int32_t kSendButton = 23077;
inline constexpr int32_t kSendCancelButton = 23074;
// Where a send writes a playlist file: open it in the music player afterwards (checked).
inline constexpr int32_t kSendOpenBox = 23081;

class SendSheet {
  public:
    // Builds and shows the sheet over the main window for the view on screen, with the
    // titles of menus 1, 3 and 4 disabled.
    explicit SendSheet(App& app);
    ~SendSheet();
    SendSheet(const SendSheet&) = delete;
    SendSheet& operator=(const SendSheet&) = delete;

    QDialog* Sheet() const { return sheet_; }
    // Send: an empty name is refused with an alert and the sheet stays; otherwise the
    // count (0, negative or above the list: the whole list) is sent.
    // True when it was sent. A written playlist file is then opened in the music player
    // when the sheet's box says so.
    bool Send();

  private:
    App& app_;
    QPointer<QDialog> sheet_;
    QLineEdit* name_ = nullptr;
    QLineEdit* count_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QCheckBox* open_ = nullptr;  // only where a send writes a playlist file
    QPushButton* send_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// File menu item 6 and the "Send Playlist To iTunes" button: stops the player and opens
// the sheet.
void SendPlaylistCommand(App& app);
// Send and Cancel: the sheet's work, then it closes and the menus come back.
void SendSheetSend(App& app);
void CloseSendSheet(App& app);

}  // namespace harmovia
