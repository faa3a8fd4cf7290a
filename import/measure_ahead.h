#pragma once

// Measures upcoming files on worker threads while the add task works through the walk on
// the main thread. Jobs run in submission order; results are taken by ticket. With no
// workers, Take() measures on the calling thread (the strictly sequential reference).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "import/add_steps.h"

namespace harmovia {

class MeasureAheadPool {
  public:
    // `resultReady`, when set, is called on a worker thread after each result is stored.
    MeasureAheadPool(AddSteps& steps, int workers, std::function<void()> resultReady = {});
    // Drops queued jobs and joins the workers (a file being measured is finished first).
    ~MeasureAheadPool();
    MeasureAheadPool(const MeasureAheadPool&) = delete;
    MeasureAheadPool& operator=(const MeasureAheadPool&) = delete;

    using Ticket = uint64_t;
    Ticket Submit(const std::filesystem::path& file);
    // The result when it is ready within `wait`; nothing otherwise, and nothing for a ticket
    // already taken or dropped. Without workers, measures on the calling thread.
    std::unique_ptr<MeasuredFile> Take(Ticket ticket, std::chrono::milliseconds wait);
    // Waits up to `wait` for the ticket's result without taking it; true when Take would
    // not wait.
    bool WaitFor(Ticket ticket, std::chrono::milliseconds wait);
    // Forgets a ticket whose result is no longer wanted.
    void Drop(Ticket ticket);

  private:
    void Work();

    AddSteps& steps_;
    std::function<void()> onResult_;
    std::mutex mutex_;
    std::condition_variable jobReady_;
    std::condition_variable resultReady_;
    std::deque<std::pair<Ticket, std::filesystem::path>> jobs_;
    std::map<Ticket, std::filesystem::path> files_;            // submitted, not yet taken
    std::map<Ticket, std::unique_ptr<MeasuredFile>> results_;  // finished, not yet taken
    Ticket nextTicket_ = 1;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace harmovia
