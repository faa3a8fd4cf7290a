// Plays one tune through the default audio device at a given movie volume, the way the
// program does: a Qt event loop on the main thread and Task every 2/60 s. Prints how long
// it took and the level handed to the output. Against a recording null sink:
//
//   export XDG_RUNTIME_DIR=$(mktemp -d)
//   pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix
//       --load="module-null-sink sink_name=ci_null"          (one line)
//   parec -d ci_null.monitor --format=s16le --rate=44100 --channels=2 --raw out.raw &
//   device_playback_trial FILE [VOLUME]

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/movie_playback_ffmpeg.h"

int main(int argc, char** argv) {
    using namespace harmovia;
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: device_playback_trial FILE [VOLUME]\n");
        return 2;
    }
    const auto volume = static_cast<int16_t>(argc > 2 ? std::atoi(argv[2]) : kUnityMovieVolume);
    SampleLevels levels;
    const auto player = MakeFfmpegMoviePlayer(AudioOutputChoice::Device, levels);
    std::unique_ptr<PlayingMovie> movie;
    if (const OsError result = player->OpenPlayingMovie(argv[1], movie); result != kNoErr) {
        std::fprintf(stderr, "cannot open %s: %d\n", argv[1], result);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    movie->SetVolume(volume);
    movie->GoToBeginning();
    movie->Start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        movie->Task();
        if (movie->IsDone()) {
            app.quit();
        }
    });
    timer.start(1000 * 2 / 60);
    app.exec();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("played in %.2f s: %lld samples handed over, peak %d, rms %.4f of full scale\n",
                seconds, static_cast<long long>(levels.samples),
                std::max<int>(levels.highest, -levels.lowest), RmsOf(levels));
    return 0;
}
