// On a private session bus, a second connection calls the service as a desktop would.

#include "player/mpris_service.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <array>
#include <chrono>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/player/fake_player.h"

namespace harmovia {
namespace {

using namespace Qt::StringLiterals;

const QString kProperties = u"org.freedesktop.DBus.Properties"_s;
const QString kPlayer = u"org.mpris.MediaPlayer2.Player"_s;

class ChangeListener final : public QObject {
    Q_OBJECT
  public slots:
    void Changed(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == kPlayer) {
            received.insert(changed);
        }
    }
    void Seeked(qlonglong position) { received.insert(u"Seeked"_s, position); }

  public:
    // Spins both ends' events until `property` changed; the limit only guards against a hang.
    bool Await(const QString& property) {
        for (int i = 0; i < 2000 && !received.contains(property); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return received.contains(property);
    }
    QVariantMap received;
};

TEST(Mpris, TheDesktopSteersThePlayerAndSeesWhatPlays) {
    test::PlayerHarness h(3);
    MprisService service(h.ctx);
    ASSERT_TRUE(service.Register(QDBusConnection::sessionBus()));
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"c"_s);
    const auto call = [&](const QString& interface, const QString& method,
                          const QVariantList& args = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            service.ServiceName(), QLatin1String(kMprisObjectPath), interface, method);
        message.setArguments(args);
        return client.call(message, QDBus::BlockWithGui);  // the service answers meanwhile
    };
    const auto get = [&](const QString& interface, const QString& property) {
        const QDBusMessage reply = call(kProperties, u"Get"_s, {interface, property});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    };
    const QString root = u"org.mpris.MediaPlayer2"_s;
    EXPECT_EQ(std::tuple(get(root, u"Identity"_s), get(root, u"DesktopEntry"_s),
                         get(root, u"CanRaise"_s), get(kPlayer, u"PlaybackStatus"_s)),
              std::tuple(u"Harmovia"_s, u"org.harmovia.Harmovia"_s, false, u"Stopped"_s));
    int raised = 0;
    service.SetRaise([&raised] { ++raised; });
    call(root, u"Raise"_s);
    EXPECT_EQ(std::tuple(get(root, u"CanRaise"_s).toBool(), raised), std::tuple(true, 1));

    ChangeListener listener;
    ASSERT_TRUE(client.connect(service.ServiceName(), QLatin1String(kMprisObjectPath), kProperties,
                               u"PropertiesChanged"_s, &listener,
                               SLOT(Changed(QString, QVariantMap, QStringList))));
    ASSERT_TRUE(client.connect(service.ServiceName(), QLatin1String(kMprisObjectPath), kPlayer,
                               u"Seeked"_s, &listener, SLOT(Seeked(qlonglong))));
    h.view->List[2].Title.Set("Caf\x8E");  // Mac Roman e-acute
    h.view->List[2].DurationSeconds = 61;
    h.view->SelectedRow = 2;
    call(kPlayer, u"Play"_s);
    h.Tick();
    service.Sync();
    ASSERT_TRUE(listener.Await(u"Metadata"_s));
    EXPECT_EQ(listener.received.value(u"PlaybackStatus"_s), u"Playing"_s);
    const QVariantMap metadata = {
        {u"mpris:trackid"_s, QVariant::fromValue(QDBusObjectPath(u"/org/harmovia/Tune/2"_s))},
        {u"xesam:title"_s, u"Café"_s},
        {u"xesam:artist"_s, QStringList{u"Artist"_s}},
        {u"xesam:album"_s, u"Album 2"_s},
        {u"mpris:length"_s, qlonglong{61000000}},
        {u"xesam:url"_s, u"file:///music/2.mp3"_s},
    };
    EXPECT_EQ(qdbus_cast<QVariantMap>(get(kPlayer, u"Metadata"_s).value<QDBusArgument>()),
              metadata);

    // A loop mode set from the desktop is the program's own.
    const struct {
        const char* status;
        uint16_t loopTune, loopPlaylist;
    } loops[] = {{"Playlist", 0, 1}, {"None", 0, 0}, {"Track", 1, 0}};
    for (const auto& loop : loops) {
        call(kProperties, u"Set"_s,
             {kPlayer, u"LoopStatus"_s,
              QVariant::fromValue(QDBusVariant(QLatin1String(loop.status)))});
        EXPECT_EQ(h.player->LoopTune, loop.loopTune) << loop.status;
        EXPECT_EQ(h.player->LoopPlaylist, loop.loopPlaylist) << loop.status;
    }

    // The volume both ways: the desktop's moves the slider, the slider's reach the desktop.
    call(kProperties, u"Set"_s, {kPlayer, u"Volume"_s, QVariant::fromValue(QDBusVariant(0.2))});
    EXPECT_EQ(std::tuple(h.preferences.Volume, h.seams.shownVolume), std::tuple(146, 146));
    listener.received.clear();
    VolumeChanged(h.ctx, kVolumeIndicatorPart, 365);
    service.Sync();
    ASSERT_TRUE(listener.Await(u"Volume"_s));
    EXPECT_EQ(std::tuple(listener.received.value(u"Volume"_s).toDouble(),
                         listener.received.value(u"LoopStatus"_s).toString()),
              std::tuple(0.5, u"Track"_s));

    // Jumps within the tune: relative, absolute for the tune playing only, and past its end
    // on to the next; the jump taken is announced.
    const struct {
        const char* method;
        QVariantList args;
        std::tuple<int, int64_t, int> expected;  // SeekRequest, SeekTarget, NextRequest
    } seeks[] = {
        {"Seek", {qlonglong{5000000}}, {1, 5000000, 0}},
        {"Seek", {qlonglong{-9000000}}, {1, 0, 0}},
        {"Seek", {qlonglong{61000001}}, {0, 0, 1}},
        {"SetPosition",
         {QVariant::fromValue(QDBusObjectPath(u"/org/harmovia/Tune/3"_s)), qlonglong{7000000}},
         {0, 0, 0}},
        {"SetPosition",
         {QVariant::fromValue(QDBusObjectPath(u"/org/harmovia/Tune/2"_s)), qlonglong{7000000}},
         {1, 7000000, 0}},
    };
    for (const auto& seek : seeks) {
        SCOPED_TRACE(seek.method);
        PlayerState& p = *h.player;
        p.SeekRequest = p.NextRequest = 0;
        p.SeekTarget = 0;
        call(kPlayer, QLatin1String(seek.method), seek.args);
        EXPECT_EQ(std::tuple(p.SeekRequest, p.SeekTarget, p.NextRequest), seek.expected);
    }
    h.player->NextRequest = 0;  // the last row's seek is taken
    h.Tick();
    service.Sync();
    EXPECT_EQ(h.movies.seeks, std::vector<int64_t>{7000000});
    ASSERT_TRUE(listener.Await(u"Seeked"_s));

    listener.received.clear();
    call(kPlayer, u"Stop"_s);
    h.Tick();
    service.Sync();
    ASSERT_TRUE(listener.Await(u"PlaybackStatus"_s));
    EXPECT_EQ(listener.received.value(u"PlaybackStatus"_s), u"Stopped"_s);

    // The media keys' other methods, as requests to the player.
    enum Now { Idle, Playing, Paused };
    const struct {
        const char* method;
        Now now;
        std::array<int, 6> requests;  // Play, Stop, Next, Back, Pause, Resume
    } cases[] = {
        {"PlayPause", Idle, {1, 0, 0, 0, 0, 0}},   {"PlayPause", Playing, {0, 0, 0, 0, 1, 0}},
        {"PlayPause", Paused, {0, 0, 0, 0, 0, 1}}, {"Pause", Playing, {0, 0, 0, 0, 1, 0}},
        {"Pause", Paused, {0, 0, 0, 0, 0, 0}},     {"Play", Paused, {0, 0, 0, 0, 0, 1}},
        {"Play", Playing, {0, 0, 0, 0, 0, 0}},     {"Stop", Paused, {0, 1, 0, 0, 0, 0}},
        {"Next", Playing, {0, 0, 1, 0, 0, 0}},     {"Previous", Playing, {0, 0, 0, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.now));
        PlayerState& p = *h.player;
        p.IsPlaying = c.now != Idle ? 1 : 0;
        p.Paused = c.now == Paused;
        p.PlayRequest = p.StopRequest = p.NextRequest = p.BackRequest = 0;
        p.PauseRequest = p.ResumeRequest = 0;
        call(kPlayer, QLatin1String(c.method));
        EXPECT_EQ((std::array<int, 6>{p.PlayRequest, p.StopRequest, p.NextRequest, p.BackRequest,
                                      p.PauseRequest, p.ResumeRequest}),
                  c.requests);
    }
}

}  // namespace
}  // namespace harmovia

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "mpris_service_test.moc"
