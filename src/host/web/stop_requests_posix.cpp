#include "stop_requests.h"

#include <pthread.h>
#include <signal.h>

namespace couloir::host::web {
namespace {

sigset_t stoppingSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

StopRequests::StopRequests() {
    sigset_t signals = stoppingSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void StopRequests::onStop(std::function<void()> stop) {
    stop_ = std::move(stop);
    waiter_ = std::thread([this] {
        sigset_t signals = stoppingSignals();
        int signal = 0;
        sigwait(&signals, &signal);
        if (!released_) stop_();
    });
}

void StopRequests::release() {
    // Stopped by a signal, or the server ended on its own: the waiting thread is released either way.
    released_ = true;
    if (waiter_.joinable()) {
        pthread_kill(waiter_.native_handle(), SIGTERM);
        waiter_.join();
    }
}

}  // namespace couloir::host::web
