#include "player/mpris_service.h"

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "library/mac_roman_qt.h"
#include "player/play_loop.h"
#include "player/player_requests.h"

#include <unistd.h>

namespace harmovia {
namespace {

const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// org.mpris.MediaPlayer2: who we are. No quitting from outside.
class MprisRootAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

  public:
    explicit MprisRootAdaptor(MprisService* service)
        : QDBusAbstractAdaptor(service), service_(service) {}
    bool CanQuit() const { return false; }
    bool CanRaise() const { return service_->CanRaise(); }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Harmovia"); }
    QString DesktopEntry() const { return QLatin1String(kMprisDesktopEntry); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

  public slots:
    void Raise() { service_->Raise(); }
    void Quit() {}

  private:
    MprisService* service_;
};

// org.mpris.MediaPlayer2.Player: the commands and the state of the player.
class MprisPlayerAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanControl)
    Q_PROPERTY(bool CanGoPrevious READ CanControl)
    Q_PROPERTY(bool CanPlay READ CanControl)
    Q_PROPERTY(bool CanPause READ CanControl)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

  public:
    explicit MprisPlayerAdaptor(MprisService* service)
        : QDBusAbstractAdaptor(service), service_(service) {}
    QString PlaybackStatus() const { return service_->PlaybackStatus(); }
    QString LoopStatus() const { return service_->LoopStatus(); }
    void SetLoopStatus(const QString& status) { service_->SetLoopStatus(status); }
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    bool Shuffle() const { return false; }
    void SetShuffle(bool) {}
    QVariantMap Metadata() const { return service_->Metadata(); }
    double Volume() const { return service_->Volume(); }
    void SetVolume(double volume) { service_->SetVolume(volume); }
    qlonglong Position() const { return service_->Position(); }
    bool CanSeek() const { return true; }
    bool CanControl() const { return true; }

  public slots:
    void Play() { service_->Play(); }
    void Pause() { service_->Pause(); }
    void PlayPause() { service_->PlayPause(); }
    void Stop() { service_->Stop(); }
    void Next() { service_->Next(); }
    void Previous() { service_->Previous(); }
    void Seek(qlonglong offset) { service_->Seek(offset); }
    void SetPosition(const QDBusObjectPath& track, qlonglong position) {
        service_->SetPosition(track.path(), position);
    }
    void OpenUri(const QString&) {}

  signals:
    void Seeked(qlonglong position);

  private:
    MprisService* service_;
};

QString TrackId(int32_t position) {
    return QStringLiteral("/org/harmovia/Tune/") + QString::number(position);
}

}  // namespace

MprisService::MprisService(PlayerContext& ctx, QObject* parent)
    : QObject(parent), ctx_(ctx), bus_(QString()) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService() {
    if (registered_) {
        bus_.unregisterService(serviceName_);
        bus_.unregisterObject(QLatin1String(kMprisObjectPath));
    }
}

bool MprisService::Register(const QDBusConnection& bus) {
    if (registered_ || !bus.isConnected()) {
        return false;
    }
    bus_ = bus;
    if (!bus_.registerObject(QLatin1String(kMprisObjectPath), this,
                             QDBusConnection::ExportAdaptors)) {
        return false;
    }
    const QString name = QLatin1String(kMprisServiceName);
    const QString instanceName = name + QStringLiteral(".instance") + QString::number(getpid());
    for (const QString& candidate : {name, instanceName}) {
        if (bus_.registerService(candidate)) {
            serviceName_ = candidate;
            registered_ = true;
            published_ = Present();
            return true;
        }
    }
    bus_.unregisterObject(QLatin1String(kMprisObjectPath));
    return false;
}

MprisService::Published MprisService::Present() const {
    const PlayerState& p = ctx_.player;
    Published now;
    now.status = PlaybackStatus();
    now.loop = LoopStatus();
    now.position = p.NowPlayingIndex;
    now.stamp = p.NowPlayingStamp;
    now.volume = ctx_.preferences.Volume;
    now.seeks = p.Seeks;
    return now;
}

void MprisService::Sync() {
    if (!registered_) {
        return;
    }
    const Published now = Present();
    QVariantMap changed;
    if (now.status != published_.status) {
        changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    }
    if (now.position != published_.position || now.stamp != published_.stamp) {
        changed.insert(QStringLiteral("Metadata"), Metadata());
    }
    if (now.loop != published_.loop) {
        changed.insert(QStringLiteral("LoopStatus"), now.loop);
    }
    if (now.volume != published_.volume) {
        changed.insert(QStringLiteral("Volume"), Volume());
    }
    const bool seeked = now.seeks != published_.seeks && now.position == published_.position &&
                        now.stamp == published_.stamp;
    published_ = now;
    if (seeked) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(kMprisObjectPath), kPlayerInterface, QStringLiteral("Seeked"));
        signal << Position();
        bus_.send(signal);
    }
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kMprisObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

QString MprisService::PlaybackStatus() const {
    if (ctx_.player.Phase != PlayPhase::TunePlays) {
        return QStringLiteral("Stopped");
    }
    return ctx_.player.Paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QString MprisService::LoopStatus() const {
    if (ctx_.player.LoopTune == 1) {
        return QStringLiteral("Track");
    }
    return ctx_.player.LoopPlaylist == 1 ? QStringLiteral("Playlist") : QStringLiteral("None");
}

QVariantMap MprisService::Metadata() const {
    const PlayerState& p = ctx_.player;
    QVariantMap metadata;
    if (p.Phase != PlayPhase::TunePlays || !p.NowPlayingList.HasRow(p.NowPlayingIndex)) {
        metadata.insert(QStringLiteral("mpris:trackid"),
                        QVariant::fromValue(QDBusObjectPath(
                            QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return metadata;
    }
    const TuneRecord& tune = p.NowPlayingList[p.NowPlayingIndex];
    metadata.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(QDBusObjectPath(TrackId(p.NowPlayingIndex))));
    metadata.insert(QStringLiteral("xesam:title"), FromMacRoman(tune.Title.view()));
    metadata.insert(QStringLiteral("xesam:artist"), QStringList{FromMacRoman(tune.Artist.view())});
    metadata.insert(QStringLiteral("xesam:album"), FromMacRoman(tune.Album.view()));
    metadata.insert(QStringLiteral("mpris:length"),
                    static_cast<qlonglong>(std::max(tune.DurationSeconds, 0)) * 1000000);
    // Locations hold the file's path bytes as the file system gave them.
    const QByteArray path(tune.Location.view().data(),
                          static_cast<qsizetype>(tune.Location.view().size()));
    metadata.insert(QStringLiteral("xesam:url"),
                    QUrl::fromLocalFile(QFile::decodeName(path)).toString(QUrl::FullyEncoded));
    return metadata;
}

double MprisService::Volume() const {
    return static_cast<double>(ctx_.preferences.Volume) / kMaxVolume;
}

qlonglong MprisService::Position() const {
    const PlayerState& p = ctx_.player;
    return p.Phase == PlayPhase::TunePlays && p.CurrentMovie ? p.CurrentMovie->HeardMicroseconds()
                                                             : 0;
}

void MprisService::Raise() {
    if (raise_) {
        raise_();
    }
}

void MprisService::Play() {
    if (ctx_.player.IsPlaying == 1) {
        RequestResume(ctx_);
    } else {
        RequestPlay(ctx_);
    }
}

void MprisService::Pause() {
    RequestPause(ctx_);
}

void MprisService::PlayPause() {
    PauseOrResume(ctx_);
}

void MprisService::Stop() {
    RequestStop(ctx_);
}

void MprisService::Next() {
    RequestNext(ctx_);
}

void MprisService::Previous() {
    RequestBack(ctx_);
}

void MprisService::SetLoopStatus(const QString& status) {
    const PlayerState& p = ctx_.player;
    if (status == QStringLiteral("Track") && p.LoopTune == 0) {
        ToggleLoopTune(ctx_);
    } else if (status == QStringLiteral("Playlist") && p.LoopPlaylist == 0) {
        ToggleLoopPlaylist(ctx_);
    } else if (status == QStringLiteral("None")) {
        if (p.LoopTune == 1) {
            ToggleLoopTune(ctx_);
        } else if (p.LoopPlaylist == 1) {
            ToggleLoopPlaylist(ctx_);
        }
    }
}

void MprisService::Seek(qlonglong offset) {
    const PlayerState& p = ctx_.player;
    if (p.Phase != PlayPhase::TunePlays || !p.NowPlayingList.HasRow(p.NowPlayingIndex)) {
        return;
    }
    const qlonglong target = Position() + offset;
    const qlonglong length =
        static_cast<qlonglong>(std::max(p.NowPlayingList[p.NowPlayingIndex].DurationSeconds, 0)) *
        1000000;
    // Past the end the tune is over, as MPRIS asks.
    if (target > length && length > 0) {
        RequestNext(ctx_);
        return;
    }
    RequestSeek(ctx_, target);
}

void MprisService::SetPosition(const QString& track, qlonglong position) {
    const PlayerState& p = ctx_.player;
    if (p.Phase != PlayPhase::TunePlays || track != TrackId(p.NowPlayingIndex) || position < 0 ||
        position > static_cast<qlonglong>(
                       std::max(p.NowPlayingList[p.NowPlayingIndex].DurationSeconds, 0)) *
                       1000000) {
        return;
    }
    RequestSeek(ctx_, position);
}

void MprisService::SetVolume(double volume) {
    if (std::isnan(volume)) {
        return;
    }
    const double clamped = std::clamp(volume, 0.0, 1.0);
    VolumeChanged(ctx_, kVolumeIndicatorPart, static_cast<int>(std::lround(clamped * kMaxVolume)));
}

}  // namespace harmovia

#include "mpris_service.moc"
