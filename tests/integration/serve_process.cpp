#include "serve_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace couloir::test {

ServeProcess::ServeProcess(const std::string& database, const std::string& environment) {
    int output[2];
    if (pipe(output) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        std::istringstream assignments(environment);
        for (std::string assignment; assignments >> assignment;) putenv(strdup(assignment.c_str()));
        execl(COULOIR_BUILD_DIR "/bin/couloir", "couloir", "serve", database.c_str(), "--port", "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    // The address is the second line the server prints.
    std::string printed;
    char buffer[512];
    std::regex addressLine(R"((http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]+)))");
    std::smatch found;
    while (!std::regex_search(printed, found, addressLine)) {
        ssize_t n = read(output[0], buffer, sizeof buffer);
        if (n <= 0) break;
        printed.append(buffer, static_cast<std::size_t>(n));
    }
    close(output[0]);
    if (found.empty()) throw std::runtime_error("couloir serve did not start: " + printed);
    address_ = found[1];
    port_ = std::stoi(found[2]);
    token_ = found[3];
}

ServeProcess::~ServeProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

httplib::Client ServeProcess::client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_bearer_token_auth(token_.c_str());
    client.set_read_timeout(30, 0);
    return client;
}

httplib::Client ServeProcess::anonymous() const { return httplib::Client("127.0.0.1", port_); }

}  // namespace couloir::test
