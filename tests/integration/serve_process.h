// A `couloir serve` run for a test: started on a free port, its address and
// token read from what it prints, stopped (SIGTERM) when the object goes.
// And a raw connection to it, for what no HTTP client library would send.
#pragma once

#include <httplib.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

namespace couloir::test {

class ServeProcess {
public:
    // Serves `database`; `environment` is added to the server's (VAR=value ...);
    // `openFiles`, when not 0, is the server's open-file limit. Throws, with
    // what the command printed, when it does not start.
    explicit ServeProcess(const std::string& database, const std::string& environment = {}, unsigned openFiles = 0);
    ~ServeProcess();
    ServeProcess(const ServeProcess&) = delete;
    ServeProcess& operator=(const ServeProcess&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    const std::string& token() const { return token_; }
    const std::string& address() const { return address_; }
    // A client that sends the token (Authorization: Bearer).
    httplib::Client client() const;
    // A client that sends nothing of it.
    httplib::Client anonymous() const;
    // A memory figure of the server's, in kB: "VmRSS" (resident now), "VmHWM" (the most it has been).
    long memoryKilobytes(const std::string& field) const;

private:
    pid_t pid_ = -1;
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

    int fd() const { return fd_; }
    // Sends all of `bytes` (waiting at most 5 s); false when the server no longer takes them.
    bool send(std::string_view bytes);
    // What arrives within `wait`, stopping early once the server has closed
    // or once `until` has arrived (when given).
    std::string receive(std::chrono::milliseconds wait, std::string_view until = {});
    // The server has closed the connection (an end of stream or a reset is
    // waiting, after whatever it sent); looks without waiting.
    bool closedByServer();
    bool closed() const { return closed_; }

private:
    int fd_ = -1;
    bool closed_ = false;
};

}  // namespace couloir::test
