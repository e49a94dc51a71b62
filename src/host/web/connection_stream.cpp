#include "connection_stream.h"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "sockets.h"

namespace couloir::host::web {
namespace {

// What the socket gives at most per read: a body comes in few system calls.
constexpr std::size_t kReadChunk = std::size_t{64} << 10;

const char* reasonPhrase(int status) {
    switch (status) {
        case 408: return "Request Timeout";
        case 431: return "Request Header Fields Too Large";
        case 503: return "Service Unavailable";
        default: return "Error";
    }
}

int millisecondsUntil(ConnectionStream::Clock::time_point until) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(until - ConnectionStream::Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60 * 60 * 1000));
}

}  // namespace

std::string closingAnswer(int status, std::string_view message) {
    std::string body = nlohmann::json{{"error", message}}.dump();
    return "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) +
           "\r\n"
           "Content-Type: application/json; charset=utf-8\r\n"
           "Content-Length: " +
           std::to_string(body.size()) +
           "\r\n"
           "Cache-Control: no-store\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Connection: close\r\n\r\n" +
           body;
}

std::string lateAnswer() {
    return closingAnswer(408, "Requête trop lente : elle n'a pas été reçue dans le délai, elle est abandonnée.");
}

bool sendAtOnce(socket_t socket, std::string_view answer) {
    while (!answer.empty()) {
        long long sent = sockets::send(socket, answer.data(), answer.size());
        if (sent < 0 && sockets::lastCallInterrupted()) continue;
        if (sent <= 0) return false;
        answer.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

ConnectionStream::ConnectionStream(socket_t socket, std::string buffered, Clock::time_point started,
                                   const RequestLimits& limits)
    : fd_(socket), limits_(limits), started_(started), buffered_(std::move(buffered)) {}

ConnectionStream::Clock::time_point ConnectionStream::deadline() const {
    auto allowance = std::chrono::duration<double>(static_cast<double>(consumed_) /
                                                   static_cast<double>(limits_.bodyBytesPerSecond));
    return started_ + limits_.readDeadline + std::chrono::duration_cast<Clock::duration>(allowance);
}

bool ConnectionStream::wait(bool writing, Clock::time_point until) const {
    for (;;) {
        sockets::Readiness readiness = sockets::waitFor(fd_, writing, millisecondsUntil(until));
        if (readiness == sockets::Readiness::TimedOut && Clock::now() < until) continue;  // interrupted
        // A closed or failed socket is "ready": the read or write that follows says so.
        return readiness == sockets::Readiness::Ready || readiness == sockets::Readiness::Gone;
    }
}

bool ConnectionStream::is_readable() const {
    if (position_ < buffered_.size()) return true;
    if (timedOut_) return false;
    return wait(false, std::min(deadline(), Clock::now() + limits_.readPause));
}

bool ConnectionStream::is_writable() const {
    if (timedOut_) return false;
    // A client gone (reset, or both ways shut) takes no more: the events stream stops.
    return sockets::waitFor(fd_, true, static_cast<int>(limits_.writePause.count())) == sockets::Readiness::Ready;
}

void ConnectionStream::timeOut() {
    timedOut_ = true;
    // The reads all come before the answer (cpp-httplib reads the body before
    // it calls the handler), so nothing but a "100 Continue" has gone out.
    sendAtOnce(fd_, lateAnswer());
}

ssize_t ConnectionStream::read(char* ptr, std::size_t size) {
    if (timedOut_) return -1;
    if (position_ == buffered_.size()) {
        buffered_.resize(kReadChunk);
        position_ = 0;
        long long got = -1;
        for (;;) {
            got = sockets::receive(fd_, buffered_.data(), buffered_.size());
            if (got >= 0) break;
            if (sockets::lastCallInterrupted()) continue;
            if (!sockets::lastCallWouldBlock()) break;
            Clock::time_point until = deadline();
            if (Clock::now() >= until) {
                buffered_.clear();
                timeOut();
                return -1;
            }
            // A pause longer than readPause in the middle of a request is a client gone silent.
            if (!wait(false, std::min(until, Clock::now() + limits_.readPause))) {
                buffered_.clear();
                timeOut();
                return -1;
            }
        }
        buffered_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        if (got <= 0) return static_cast<ssize_t>(got);  // closed by the client, or failed
    }
    std::size_t given = std::min(size, buffered_.size() - position_);
    std::memcpy(ptr, buffered_.data() + position_, given);
    position_ += given;
    consumed_ += given;
    return static_cast<ssize_t>(given);
}

ssize_t ConnectionStream::write(const char* ptr, std::size_t size) {
    if (timedOut_) return -1;
    std::size_t done = 0;
    while (done < size) {
        long long sent = sockets::send(fd_, ptr + done, size - done);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && sockets::lastCallInterrupted()) continue;
        if (sent < 0 && sockets::lastCallWouldBlock() && wait(true, Clock::now() + limits_.writePause))
            continue;
        return -1;
    }
    return static_cast<ssize_t>(done);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockets::peerAddress(fd_, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockets::localAddress(fd_, ip, port);
}

}  // namespace couloir::host::web
