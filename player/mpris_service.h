#pragma once

// Media keys and desktop integration: the player offered on the session bus as an MPRIS
// media player ("org.mpris.MediaPlayer2.harmovia", object /org/mpris/MediaPlayer2). Its
// Play, Pause, PlayPause, Stop, Next and Previous set the same request flags as the
// program's own buttons; the play loop's next tick acts on them. The player has no pause:
// Pause stops. PlaybackStatus, Metadata (title, artist, album, length, file URL of the tune
// playing), LoopStatus and Volume describe the player; Sync() sends PropertiesChanged for
// what changed since it last ran.
//
// Main thread only: the bus delivers its calls through the event loop that ticks the
// player. The service does not own the player; it must not outlive the context.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "player/player_context.h"

namespace harmovia {

inline constexpr const char* kMprisServiceName = "org.mpris.MediaPlayer2.harmovia";
inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";

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

    // The properties' present values, as the bus shows them.
    QString PlaybackStatus() const;
    QString LoopStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;

    // The bus's calls and property writes.
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void SetLoopStatus(const QString& status);
    void SetVolume(double volume);

  private:
    struct Published {
        QString status;
        QString loop;
        int32_t position = -1;
        uint64_t stamp = 0;
        int16_t volume = -1;
    };
    Published Present() const;

    PlayerContext& ctx_;
    QDBusConnection bus_;
    QString serviceName_;
    bool registered_ = false;
    Published published_;
};

}  // namespace harmovia
