#include "connection_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

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

using AddressOf = int (*)(int, sockaddr*, socklen_t*);

void addressOf(AddressOf get, int fd, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    if (get(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        auto* in = reinterpret_cast<sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
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

bool sendAtOnce(int fd, std::string_view answer) {
    while (!answer.empty()) {
        ssize_t sent = ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        answer.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

ConnectionStream::ConnectionStream(int fd, std::string buffered, Clock::time_point started,
                                   const RequestLimits& limits)
    : fd_(fd), limits_(limits), started_(started), buffered_(std::move(buffered)) {}

ConnectionStream::Clock::time_point ConnectionStream::deadline() const {
    auto allowance = std::chrono::duration<double>(static_cast<double>(consumed_) /
                                                   static_cast<double>(limits_.bodyBytesPerSecond));
    return started_ + limits_.readDeadline + std::chrono::duration_cast<Clock::duration>(allowance);
}

bool ConnectionStream::wait(short events, Clock::time_point until) const {
    for (;;) {
        pollfd watched{fd_, events, 0};
        int ready = ::poll(&watched, 1, millisecondsUntil(until));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        // A closed or failed socket is "ready": the read or write that follows says so.
        return true;
    }
}

bool ConnectionStream::is_readable() const {
    if (position_ < buffered_.size()) return true;
    if (timedOut_) return false;
    return wait(POLLIN, std::min(deadline(), Clock::now() + limits_.readPause));
}

bool ConnectionStream::is_writable() const {
    if (timedOut_) return false;
    pollfd watched{fd_, POLLOUT, 0};
    int ready = ::poll(&watched, 1, static_cast<int>(limits_.writePause.count()));
    // A client gone (reset, or both ways shut) takes no more: the events stream stops.
    return ready > 0 && (watched.revents & POLLOUT) && !(watched.revents & (POLLERR | POLLHUP));
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
        ssize_t got = -1;
        for (;;) {
            got = ::recv(fd_, buffered_.data(), buffered_.size(), 0);
            if (got >= 0) break;
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) break;
            Clock::time_point until = deadline();
            if (Clock::now() >= until) {
                buffered_.clear();
                timeOut();
                return -1;
            }
            // A pause longer than readPause in the middle of a request is a client gone silent.
            if (!wait(POLLIN, std::min(until, Clock::now() + limits_.readPause))) {
                buffered_.clear();
                timeOut();
                return -1;
            }
        }
        buffered_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        if (got <= 0) return got;  // closed by the client, or failed
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
        ssize_t sent = ::send(fd_, ptr + done, size - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            wait(POLLOUT, Clock::now() + limits_.writePause))
            continue;
        return -1;
    }
    return static_cast<ssize_t>(done);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    addressOf(::getpeername, fd_, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    addressOf(::getsockname, fd_, ip, port);
}

}  // namespace couloir::host::web
