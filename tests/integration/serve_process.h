// A `couloir serve` run for a test: started on a free port, its address and
// token read from what it prints, stopped (SIGTERM; ended on Windows) when
// the object goes. And a raw connection to it, for what no HTTP client
// library would send.
#pragma once

#include <httplib.h>
#ifndef _WIN32
#include <poll.h>
#include <sys/types.h>
#endif

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "test_support.h"

namespace couloir::test {

// A socket, and poll() over sockets (WSAPoll on Windows).
#ifdef _WIN32
using SocketHandle = SOCKET;
using SocketPoll = WSAPOLLFD;
inline int pollSockets(SocketPoll* sockets, std::size_t count, int milliseconds) {
    return WSAPoll(sockets, static_cast<ULONG>(count), milliseconds);
}
#else
using SocketHandle = int;
using SocketPoll = pollfd;
inline int pollSockets(SocketPoll* sockets, std::size_t count, int milliseconds) {
    return ::poll(sockets, count, milliseconds);
}
#endif

class ServeProcess {
public:
    // Serves `database`; `environment` is added to the server's (VAR=value ...);
    // `openFiles`, when not 0, is the server's open-file limit (not on
    // Windows, which has none). Throws, with what the command printed, when
    // it does not start.
    explicit ServeProcess(const std::string& database, const std::string& environment = {}, unsigned openFiles = 0);
    ~ServeProcess();
    ServeProcess(const ServeProcess&) = delete;
    ServeProcess& operator=(const ServeProcess&) = delete;

    int port() const { return port_; }
    const std::string& token() const { return token_; }
    const std::string& address() const { return address_; }
    // A client that sends the token (Authorization: Bearer).
    httplib::Client client() const;
    // A client that sends nothing of it.
    httplib::Client anonymous() const;
    // A memory figure of the server's, in kB: "VmRSS" (resident now), "VmHWM" (the most it has been).
    long memoryKilobytes(const std::string& field) const;

private:
    // The system's part: starting the server, reading what it prints, stopping it.
    void start(const std::string& database, const std::string& environment, unsigned openFiles);
    std::string readOutput();
    void closeOutput();
    void stop();

#ifdef _WIN32
    std::unique_ptr<StartedProgram> program_;
#else
    pid_t pid_ = -1;
    int output_ = -1;
#endif
    int port_ = 0;
    std::string token_, address_;
};

// A TCP connection to 127.0.0.1:port, driven byte by byte.
class RawConnection {
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    SocketHandle fd() const { return fd_; }
    // Sends all of `bytes` (waiting at most 5 s); false when the server no longer takes them.
    bool send(std::string_view bytes);
    // Sends what the connection takes at once, without waiting: how many bytes.
    std::size_t sendSome(std::string_view bytes);
    // What arrives within `wait`, stopping early once the server has closed
    // or once `until` has arrived (when given).
    std::string receive(std::chrono::milliseconds wait, std::string_view until = {});
    // The server has closed the connection (an end of stream or a reset is
    // waiting, after whatever it sent); looks without waiting.
    bool closedByServer();
    bool closed() const { return closed_; }

private:
    SocketHandle fd_;
    bool closed_ = false;
};

}  // namespace couloir::test
