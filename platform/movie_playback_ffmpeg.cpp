#include "platform/movie_playback_ffmpeg.h"

namespace harmovia {
namespace {

// Until playback lands: every tune fails to open.
class NoMoviePlayer final : public MoviePlayer {
  public:
    OsError OpenPlayingMovie(const std::filesystem::path&,
                             std::unique_ptr<PlayingMovie>& movie) override {
        movie.reset();
        return kIoErr;
    }
    void ClearStickyError() override {}
};

}  // namespace

std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice) {
    return std::make_unique<NoMoviePlayer>();
}

}  // namespace harmovia
