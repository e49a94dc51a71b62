#include "stop_requests.h"

#include <windows.h>

#include <mutex>

namespace couloir::host::web {
namespace {

// The console calls its handlers on a thread of its own.
std::mutex handlerMutex;
StopRequests* listening = nullptr;
std::function<void()>* stopOf = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    std::lock_guard lock(handlerMutex);
    if (listening && stopOf && *stopOf) (*stopOf)();
    return TRUE;
}

}  // namespace

StopRequests::StopRequests() {}

void StopRequests::onStop(std::function<void()> stop) {
    std::lock_guard lock(handlerMutex);
    stop_ = std::move(stop);
    listening = this;
    stopOf = &stop_;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void StopRequests::release() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    std::lock_guard lock(handlerMutex);
    released_ = true;
    listening = nullptr;
    stopOf = nullptr;
}

}  // namespace couloir::host::web
