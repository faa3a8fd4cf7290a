#pragma once

// An add of tunes as the desktop program runs it: the task, stepped by the event loop so
// the window stays responsive, and its progress sheet (window 4000) with the Stop button.

#include <QDialog>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "import/add_tunes.h"
#include "import/tune_add_steps.h"

class QLabel;
class QTimer;

namespace harmovia {

struct App;

inline constexpr int kAddProgressWindow = 4000;
inline constexpr int32_t kStopAddingButton = 23073;

class AddSession {
  public:
    // Starts the add of `folder` (nullopt: the music folder) with its sheet over the main
    // window. When it cannot start, says why and leaves nothing behind (Started() false).
    AddSession(App& app, const std::optional<std::filesystem::path>& folder);
    ~AddSession();
    AddSession(const AddSession&) = delete;
    AddSession& operator=(const AddSession&) = delete;

    bool Started() const { return task_ != nullptr; }
    void RequestStop();
    QDialog* Sheet() const { return sheet_; }

  private:
    void Show(const AddProgress& progress);
    // One step, and the next one queued unless the task waits for a measurement.
    void Step();
    void Finish();

    App& app_;
    TuneAddSteps steps_;
    // What the queued steps run in; its one timer holds the next step, so there is never
    // more than one.
    std::unique_ptr<QObject> context_;
    QTimer* stepper_ = nullptr;
    bool waiting_ = false;  // the last step waited for a measurement
    std::unique_ptr<AddTask> task_;
    QPointer<QDialog> sheet_;
    QLabel* status_ = nullptr;
    QLabel* total_ = nullptr;
};

// File menu items 1 and 2, the "Refresh Tunes In iTunes" button and the welcome sheet's
// import: stops the player, then starts an add of a chosen folder (`fromMusicFolder`
// false; `folder` when given, else the one the user chooses) or of the music folder; while
// an add runs, offers to stop it instead.
void AddTunesCommand(App& app, bool fromMusicFolder,
                     const std::optional<std::filesystem::path>& folder = std::nullopt);
// Files and folders dropped on the window: added one after another as a chosen folder is,
// each with its sheet (a file is refused as a chosen file is); Stop ends the rest too. A drop
// while an add runs is refused with a beep.
void AddDroppedCommand(App& app, std::vector<std::filesystem::path> paths);
// Starts the add itself (the welcome sheet's import, and the command once the player is
// stopped).
void StartAdd(App& app, const std::optional<std::filesystem::path>& folder);
// The program's folder chooser; nullopt when the user cancels.
std::optional<std::filesystem::path> ChooseFolderWithDialog(App& app);

}  // namespace harmovia
