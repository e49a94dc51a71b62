// A `couloir serve` run for a test: started on a free port, its address and
// token read from what it prints, stopped (SIGTERM) when the object goes.
#pragma once

#include <httplib.h>
#include <sys/types.h>

#include <string>

namespace couloir::test {

class ServeProcess {
public:
    // Serves `database`; `environment` is added to the server's (VAR=value ...).
    explicit ServeProcess(const std::string& database, const std::string& environment = {});
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

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string token_, address_;
};

}  // namespace couloir::test
