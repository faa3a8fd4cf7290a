// The desktop program over a full 2000-tune library, offscreen: start-up until the main
// window has painted once (against a bare QMainWindow shown and painted in the same run),
// sorting the list by each column through the view, and painting a scroll through all
// 2000 rows. The QApplication is made once, before the first benchmark, in every case.

#include <QApplication>
#include <QMainWindow>
#include <QScrollBar>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "bench/support/synthetic_library.h"
#include "library/library_file.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

// Made once and never destroyed: Qt's own statics go before a static QApplication would.
QApplication& Qt() {
    static int argc = 1;
    static char name[] = "shell_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

class SilentNotices final : public ShellNotices {
  public:
    void Beep(int) override {}
    bool ShowAlert(const Alert&) override { return false; }
    void ShowOverlayNotice(std::string_view, int) override {}
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}
    void ShowFatalAlert(std::string_view, std::string_view) override {}
    ErrorAlertChoice ShowErrorAlert(std::string_view, int32_t) override {
        return ErrorAlertChoice::Continue;
    }
    void ShowSavingOverlay(const ScreenRect&, MoodColour) override {}
};

// A home folder whose library holds 2000 tunes of varied texts and moods.
struct FullHome {
    testing::TempFolder home;
    FullHome() {
        auto library = std::make_unique<Library>();
        bench::FillSyntheticLibrary(*library, kMaxTunes);
        DiskFileSystem files;
        std::filesystem::create_directories(Folder());
        if (SaveLibrary(*library, files, Folder()) != kNoErr) {
            std::abort();
        }
    }
    std::filesystem::path Folder() const { return home.path() / "data" / "Harmovia"; }
    EnvironmentLookup Environment() const {
        const std::string data = (home.path() / "data").string();
        return [data](const char* name) -> std::optional<std::string> {
            if (std::string(name) == "XDG_DATA_HOME" || std::string(name) == "HOME") {
                return data;
            }
            return std::nullopt;
        };
    }
};

FullHome& Home() {
    static FullHome home;
    return home;
}

// Until the window has been painted once.
void WaitForPaint(QWidget& window) {
    window.repaint();
    QApplication::processEvents();
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
    Qt();
    FullHome& home = Home();
    for (auto _ : state) {
        SilentNotices notices;
        auto app = std::make_unique<App>();
        app->notices = &notices;
        if (StartUp(*app, {home.Environment(), nullptr, 1400, 900}).has_value()) {
            state.SkipWithError("start-up failed");
            break;
        }
        WaitForPaint(*app->window);
        state.PauseTiming();
        app->ending = true;
        app.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_BareMainWindowToFirstPaint(benchmark::State& state) {
    Qt();
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        window->resize(1200, 700);
        window->show();
        WaitForPaint(*window);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareMainWindowToFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5);
HARMOVIA_RATIO("start-up to first paint, 2000 tunes, against a bare window",
               "BM_StartUpToFirstPaint", "BM_BareMainWindowToFirstPaint");

// A whole process, from its start until its window has painted: the program over the
// 2000-tune library against a bare QApplication with an empty QMainWindow.
void RunFirstPaint(benchmark::State& state, const char* mode) {
    const std::string data = (Home().home.path() / "data").string();
    const std::string command = std::string("QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='") + data +
                                "' '" FIRST_PAINT "' " + mode + " 2>/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("first_paint failed");
            break;
        }
    }
}
void BM_ProcessStartToFirstPaint(benchmark::State& state) {
    RunFirstPaint(state, "full");
}
void BM_BareProcessStartToFirstPaint(benchmark::State& state) {
    RunFirstPaint(state, "bare");
}
BENCHMARK(BM_ProcessStartToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7)
    ->Repetitions(3);
BENCHMARK(BM_BareProcessStartToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7)
    ->Repetitions(3);
HARMOVIA_RATIO("process start to first paint, 2000 tunes, against a bare QApplication window",
               "BM_ProcessStartToFirstPaint", "BM_BareProcessStartToFirstPaint");

struct RunningApp {
    SilentNotices notices;
    App app;
    RunningApp() {
        Qt();
        app.notices = &notices;
        if (StartUp(app, {Home().Environment(), nullptr, 1400, 900}).has_value()) {
            std::abort();
        }
        WaitForPaint(*app.window);
    }
    ~RunningApp() { app.ending = true; }
};

void BM_SortByColumn(benchmark::State& state) {
    RunningApp running;
    QTableView& list = *running.app.window->TuneList();
    const int column = static_cast<int>(state.range(0));
    bool ascending = true;
    for (auto _ : state) {
        list.sortByColumn(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

// Every row painted once: the list scrolled a page at a time from top to bottom, each
// position painted.
void BM_PaintFullScroll(benchmark::State& state) {
    RunningApp running;
    QTableView& list = *running.app.window->TuneList();
    QScrollBar& bar = *list.verticalScrollBar();
    for (auto _ : state) {
        for (int value = bar.minimum(); value <= bar.maximum(); value += bar.pageStep()) {
            bar.setValue(value);
            list.viewport()->repaint();
        }
        bar.setValue(bar.maximum());
        list.viewport()->repaint();
        bar.setValue(0);
    }
    state.counters["pages"] = static_cast<double>(bar.maximum() / std::max(1, bar.pageStep()) + 1);
}
BENCHMARK(BM_PaintFullScroll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace harmovia
