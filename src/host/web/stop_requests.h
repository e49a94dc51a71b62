// Ctrl+C (and a kill, where the system has signals) asks `couloir serve` to
// stop: stop_requests_posix.cpp and stop_requests_windows.cpp.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace couloir::host::web {

class StopRequests {
public:
    // Made before any thread of the server starts, so that a signal reaches
    // no other thread.
    StopRequests();
    ~StopRequests() { release(); }
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    // `stop` is called once a stop is asked.
    void onStop(std::function<void()> stop);
    // Stops waiting, before what `stop` stops is gone: it is not called from then on.
    void release();

private:
    std::function<void()> stop_;
    std::thread waiter_;
    std::atomic<bool> released_{false};
};

}  // namespace couloir::host::web
