#include "import/measure_ahead.h"

namespace harmovia {

MeasureAheadPool::MeasureAheadPool(AddSteps& steps, int workers, std::function<void()> resultReady)
    : steps_(steps), onResult_(std::move(resultReady)) {
    for (int i = 0; i < workers; ++i) {
        workers_.emplace_back([this] { Work(); });
    }
}

MeasureAheadPool::~MeasureAheadPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    jobReady_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

MeasureAheadPool::Ticket MeasureAheadPool::Submit(const std::filesystem::path& file) {
    std::lock_guard lock(mutex_);
    const Ticket ticket = nextTicket_++;
    files_[ticket] = file;
    if (!workers_.empty()) {
        jobs_.emplace_back(ticket, file);
        jobReady_.notify_one();
    }
    return ticket;
}

void MeasureAheadPool::Drop(Ticket ticket) {
    std::lock_guard lock(mutex_);
    files_.erase(ticket);
    results_.erase(ticket);
    std::erase_if(jobs_, [&](const auto& job) { return job.first == ticket; });
}

std::unique_ptr<MeasuredFile> MeasureAheadPool::Take(Ticket ticket,
                                                     std::chrono::milliseconds wait) {
    std::filesystem::path file;
    {
        std::unique_lock lock(mutex_);
        const auto found = files_.find(ticket);
        if (found == files_.end()) {
            return nullptr;
        }
        if (!workers_.empty()) {
            resultReady_.wait_for(lock, wait, [&] { return results_.count(ticket) > 0; });
            auto result = results_.find(ticket);
            if (result == results_.end()) {
                return nullptr;
            }
            auto measured = std::move(result->second);
            results_.erase(result);
            files_.erase(found);
            return measured;
        }
        file = found->second;
        files_.erase(found);
    }
    return steps_.Measure(file);
}

bool MeasureAheadPool::WaitFor(Ticket ticket, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (workers_.empty() || files_.count(ticket) == 0) {
        return true;
    }
    return resultReady_.wait_for(lock, wait, [&] { return results_.count(ticket) > 0; });
}

void MeasureAheadPool::Work() {
    for (;;) {
        std::pair<Ticket, std::filesystem::path> job;
        {
            std::unique_lock lock(mutex_);
            jobReady_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
            if (stopping_) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        auto measured = steps_.Measure(job.second);
        {
            std::lock_guard lock(mutex_);
            if (files_.count(job.first) > 0) {  // not dropped meanwhile
                results_[job.first] = std::move(measured);
            }
        }
        resultReady_.notify_all();
        if (onResult_) {
            onResult_();
        }
    }
}

}  // namespace harmovia
