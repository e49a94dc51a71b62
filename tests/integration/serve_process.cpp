#include "serve_process.h"

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace couloir::test {

ServeProcess::ServeProcess(const std::string& database, const std::string& environment, unsigned openFiles) {
    int output[2];
    if (pipe(output) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        close(output[0]);
        close(output[1]);
        std::istringstream assignments(environment);
        for (std::string assignment; assignments >> assignment;) putenv(strdup(assignment.c_str()));
        if (openFiles > 0) {
            rlimit limit{openFiles, openFiles};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
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
    if (found.empty()) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("couloir serve did not start: " + printed);
    }
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

long ServeProcess::memoryKilobytes(const std::string& field) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
    return -1;
}

RawConnection::RawConnection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
}

RawConnection::~RawConnection() {
    if (fd_ >= 0) ::close(fd_);
}

bool RawConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        pollfd watched{fd_, POLLOUT, 0};
        if (::poll(&watched, 1, 5000) <= 0) return false;
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::string RawConnection::receive(std::chrono::milliseconds wait, std::string_view until) {
    using Clock = std::chrono::steady_clock;
    auto end = Clock::now() + wait;
    std::string received;
    char buffer[16384];
    // At least one look, even with no time to wait.
    for (bool first = true; !closed_ && (until.empty() || received.find(until) == std::string::npos); first = false) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0 && !first) break;
        pollfd watched{fd_, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) continue;
        ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) received.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || (errno != EAGAIN && errno != EINTR)) closed_ = true;
    }
    return received;
}

bool RawConnection::closedByServer() {
    char buffer[16384];
    while (!closed_) {
        ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) continue;
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) break;
        closed_ = true;
    }
    return closed_;
}

}  // namespace couloir::test
