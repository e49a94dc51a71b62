// One request's reading and writing on a client connection, as cpp-httplib
// parses the request and writes its answer: the bytes the reception already
// read (the head, perhaps the start of the body) come first, then the socket.
//
// cpp-httplib's own socket stream bounds each wait for data, never the whole
// request, so that a client sending a byte now and then is read forever.
// Here the request has a deadline: the limits' read deadline from the moment
// the server began to wait for it, plus a second per `bodyBytesPerSecond`
// bytes received. A read that would pass it fails, after the client is told
// (408) if nothing of an answer has gone out yet. Writing has no deadline,
// only a bound on each wait: a page following an operation's events stays
// open for as long as the operation runs.
#pragma once

#include <httplib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "request_limits.h"

namespace couloir::host::web {

// A whole answer that ends the connection: `status` with {"error": message}.
std::string closingAnswer(int status, std::string_view message);

// The answer to a request not read within its deadline: 408.
std::string lateAnswer();

// Sends `answer` on a non-blocking socket as far as it goes at once; false
// when the client could not take all of it.
bool sendAtOnce(socket_t socket, std::string_view answer);

class ConnectionStream final : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    // `socket` is non-blocking; `buffered` was read from it already; the
    // deadline counts from `started`.
    ConnectionStream(socket_t socket, std::string buffered, Clock::time_point started, const RequestLimits& limits);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, std::size_t size) override;
    ssize_t write(const char* ptr, std::size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

    // The request was dropped at its deadline.
    bool timedOut() const { return timedOut_; }
    // The bytes given to cpp-httplib so far: the head, then what it read of the body.
    std::uint64_t consumed() const { return consumed_; }
    // The bytes read from the socket and not given: the next request, sent
    // without waiting for this answer.
    std::string leftover() { return buffered_.substr(position_); }

private:
    Clock::time_point deadline() const;
    // Waits until the socket can be read (or written) or `until`; false on timeout or error.
    bool wait(bool writing, Clock::time_point until) const;
    void timeOut();

    const socket_t fd_;
    const RequestLimits& limits_;
    const Clock::time_point started_;
    std::string buffered_;
    std::size_t position_ = 0;
    std::uint64_t consumed_ = 0;
    bool timedOut_ = false;
};

}  // namespace couloir::host::web
