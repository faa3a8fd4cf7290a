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
    EXPECT_EQ(get(u"org.mpris.MediaPlayer2"_s, u"Identity"_s), u"Harmovia"_s);
    EXPECT_EQ(get(kPlayer, u"PlaybackStatus"_s), u"Stopped"_s);

    ChangeListener listener;
    ASSERT_TRUE(client.connect(service.ServiceName(), QLatin1String(kMprisObjectPath), kProperties,
                               u"PropertiesChanged"_s, &listener,
                               SLOT(Changed(QString, QVariantMap, QStringList))));
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
    EXPECT_EQ((h.menus.items[{kLoopMenu, 1}].state), kItemChecked);

    listener.received.clear();
    call(kPlayer, u"Stop"_s);
    h.Tick();
    service.Sync();
    ASSERT_TRUE(listener.Await(u"PlaybackStatus"_s));
    EXPECT_EQ(listener.received.value(u"PlaybackStatus"_s), u"Stopped"_s);
    EXPECT_EQ(listener.received.value(u"LoopStatus"_s), u"Track"_s);

    // The media keys' other methods, as requests to the player.
    const struct {
        const char* method;
        bool playing;
        std::array<int, 4> requests;  // Play, Stop, Next, Back
    } cases[] = {
        {"PlayPause", false, {1, 0, 0, 0}}, {"PlayPause", true, {0, 1, 0, 0}},
        {"Pause", true, {0, 1, 0, 0}},      {"Next", true, {0, 0, 1, 0}},
        {"Previous", true, {0, 0, 0, 1}},   {"Play", true, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + (c.playing ? " while playing" : " while idle"));
        PlayerState& p = *h.player;
        p.IsPlaying = c.playing ? 1 : 0;
        p.PlayRequest = p.StopRequest = p.NextRequest = p.BackRequest = 0;
        call(kPlayer, QLatin1String(c.method));
        EXPECT_EQ((std::array<int, 4>{p.PlayRequest, p.StopRequest, p.NextRequest, p.BackRequest}),
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
