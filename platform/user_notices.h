#pragma once

// How the core speaks to the user: beeps, alerts and the short overlay notices. The
// desktop program draws them; the CLI prints them; tests record them and answer alerts
// as the test says. Texts are Mac Roman.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harmovia {

enum class AlertIcon { Caution, Stop, Note };

struct Alert {
    std::string title;
    std::string message;
    std::string button;  // the default button; every alert also has "Cancel"
    AlertIcon icon = AlertIcon::Caution;
};

class UserNotices {
  public:
    virtual ~UserNotices() = default;
    virtual void Beep(int times) = 0;
    // True when the named button was chosen, false for "Cancel".
    virtual bool ShowAlert(const Alert& alert) = 0;
    // A translucent notice over the main window, tinted for mood 1..9 (0: no mood). The
    // caller asks for 2000 ms of reading time (WaitMilliseconds) and then calls CloseOverlay.
    virtual void ShowOverlayNotice(std::string_view text, int mood) = 0;
    virtual void CloseOverlay() = 0;
    // Gives the user this long to read the notice on screen. Nothing blocks: a notices object
    // that draws returns at once, keeps the notice up on a timer and lets a CloseOverlay that
    // follows take effect when the time is over; tests return at once.
    virtual void WaitMilliseconds(int milliseconds) = 0;
};

// Records everything and answers alerts with a fixed choice; for tests and for callers
// that have nobody to ask.
class RecordingNotices final : public UserNotices {
  public:
    explicit RecordingNotices(bool answer = true) : answer_(answer) {}
    void Beep(int times) override { beeps += times; }
    bool ShowAlert(const Alert& alert) override {
        alerts.push_back(alert);
        return answer_;
    }
    void ShowOverlayNotice(std::string_view text, int mood) override {
        overlays.push_back({std::string(text), mood});
    }
    void CloseOverlay() override { ++overlaysClosed; }
    void WaitMilliseconds(int milliseconds) override { waitedMilliseconds += milliseconds; }

    struct Overlay {
        std::string text;
        int mood;
    };
    int beeps = 0;
    std::vector<Alert> alerts;
    std::vector<Overlay> overlays;
    int overlaysClosed = 0;
    int64_t waitedMilliseconds = 0;

  private:
    bool answer_;
};

}  // namespace harmovia
