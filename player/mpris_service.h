#pragma once

// Media keys and desktop integration: the player offered on the session bus as an MPRIS
// media player ("org.mpris.MediaPlayer2.harmovia", object /org/mpris/MediaPlayer2). Its
// Play, Pause, PlayPause, Stop, Next, Previous, Seek and SetPosition set the same request
// flags as the program's own buttons; the play loop's next tick acts on them. Pause keeps
// the tune's place and Play goes on from it. PlaybackStatus, Metadata (title, artist,
// album, length, file URL of the tune playing), LoopStatus, Volume and Position describe
// the player; Sync() sends PropertiesChanged for what changed since it last ran, and
// Seeked after a jump. Raise brings the program's window up where there is one.
//
// Main thread only: the bus delivers its calls through the event loop that ticks the
// player. The service does not own the player; it must not outlive the context.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "player/player_context.h"

namespace harmovia {

inline constexpr const char* kMprisServiceName = "org.mpris.MediaPlayer2.harmovia";
inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";
// The desktop entry (without ".desktop") that the program is installed under.
inline constexpr const char* kMprisDesktopEntry = "org.harmovia.Harmovia";

class MprisService final : public QObject {
    Q_OBJECT

  public:
    explicit MprisService(PlayerContext& ctx, QObject* parent = nullptr);
    ~MprisService() override;
    Q_DISABLE_COPY_MOVE(MprisService)

    // Registers on `bus` under kMprisServiceName, or under kMprisServiceName +
    // ".instance" + the process id when another program holds the name. False, and
    // nothing registered, when the bus is not connected or refuses both names.
    bool Register(const QDBusConnection& bus);
    QString ServiceName() const { return serviceName_; }

    // Sends PropertiesChanged for the properties whose values changed since the last call
    // (or since Register). Call after each tick of the player.
    void Sync();

    // What Raise does: bring the window up. Without one, CanRaise is false.
    void SetRaise(std::function<void()> raise) { raise_ = std::move(raise); }
    bool CanRaise() const { return static_cast<bool>(raise_); }
    void Raise();

    // The properties' present values, as the bus shows them.
    QString PlaybackStatus() const;
    QString LoopStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;
    qlonglong Position() const;  // microseconds into the tune playing

    // The bus's calls and property writes.
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void SetLoopStatus(const QString& status);
    void SetVolume(double volume);
    // Seek: by `offset` microseconds from where the listener is; SetPosition: to
    // `position`, if `track` is still the tune playing.
    void Seek(qlonglong offset);
    void SetPosition(const QString& track, qlonglong position);

  private:
    struct Published {
        QString status;
        QString loop;
        int32_t position = -1;
        uint64_t stamp = 0;
        int16_t volume = -1;
        uint32_t seeks = 0;
    };
    Published Present() const;

    PlayerContext& ctx_;
    QDBusConnection bus_;
    QString serviceName_;
    bool registered_ = false;
    Published published_;
    std::function<void()> raise_;
};

}  // namespace harmovia
