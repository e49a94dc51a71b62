#include "serve_process.h"

#ifdef _WIN32
#include <psapi.h>
#else
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace couloir::test {

ServeProcess::ServeProcess(const std::string& database, const std::string& environment, unsigned openFiles) {
    start(database, environment, openFiles);
    // The address is the second line the server prints.
    std::string printed;
    std::regex addressLine(R"((http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]+)))");
    std::smatch found;
    while (!std::regex_search(printed, found, addressLine)) {
        std::string part = readOutput();
        if (part.empty()) break;
        printed += part;
    }
    closeOutput();
    if (found.empty()) {
        stop();
        throw std::runtime_error("couloir serve did not start: " + printed);
    }
    address_ = found[1];
    port_ = std::stoi(found[2]);
    token_ = found[3];
}

ServeProcess::~ServeProcess() { stop(); }

#ifdef _WIN32
void ServeProcess::start(const std::string& database, const std::string& environment, unsigned) {
    program_ = std::make_unique<StartedProgram>(builtProgram("couloir"), "serve " + database + " --port 0", environment);
}

std::string ServeProcess::readOutput() { return program_->read(); }

void ServeProcess::closeOutput() { program_->closeOutput(); }

void ServeProcess::stop() { program_.reset(); }

long ServeProcess::memoryKilobytes(const std::string& field) const {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(program_->process(), &counters, sizeof counters)) return -1;
    return static_cast<long>((field == "VmHWM" ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / 1024);
}
#else
void ServeProcess::start(const std::string& database, const std::string& environment, unsigned openFiles) {
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
    output_ = output[0];
}

std::string ServeProcess::readOutput() {
    char buffer[512];
    ssize_t n = read(output_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

void ServeProcess::closeOutput() {
    close(output_);
    output_ = -1;
}

void ServeProcess::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

long ServeProcess::memoryKilobytes(const std::string& field) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
    return -1;
}
#endif

httplib::Client ServeProcess::client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_bearer_token_auth(token_.c_str());
    client.set_read_timeout(30, 0);
    return client;
}

httplib::Client ServeProcess::anonymous() const { return httplib::Client("127.0.0.1", port_); }

namespace {

// What differs between the systems' sockets. Windows sends no signal on a
// closed connection and has no flag for a call that must not wait: its
// sockets are made non-blocking once connected.
#ifdef _WIN32
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
constexpr int kNoWait = 0;
constexpr int kNoSignal = 0;

SocketHandle openSocket() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) return kNoSocket;
    return WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}

void neverWait(SocketHandle socket) {
    u_long on = 1;
    ioctlsocket(socket, FIONBIO, &on);
}

bool wouldWait() {
    int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

void closeSocket(SocketHandle socket) { closesocket(socket); }
#else
constexpr SocketHandle kNoSocket = -1;
constexpr int kNoWait = MSG_DONTWAIT;
constexpr int kNoSignal = MSG_NOSIGNAL;

SocketHandle openSocket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }

void neverWait(SocketHandle) {}

bool wouldWait() { return errno == EAGAIN || errno == EINTR; }

void closeSocket(SocketHandle socket) { ::close(socket); }
#endif

}  // namespace

RawConnection::RawConnection(int port) {
    fd_ = openSocket();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ == kNoSocket || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    neverWait(fd_);
}

RawConnection::~RawConnection() {
    if (fd_ != kNoSocket) closeSocket(fd_);
}

bool RawConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        SocketPoll watched{fd_, POLLOUT, 0};
        if (pollSockets(&watched, 1, 5000) <= 0) return false;
        auto sent = ::send(fd_, bytes.data(), bytes.size(), kNoSignal | kNoWait);
        if (sent < 0 && wouldWait()) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::size_t RawConnection::sendSome(std::string_view bytes) {
    auto sent = ::send(fd_, bytes.data(), bytes.size(), kNoSignal | kNoWait);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
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
        SocketPoll watched{fd_, POLLIN, 0};
        if (pollSockets(&watched, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) continue;
        auto got = ::recv(fd_, buffer, sizeof buffer, kNoWait);
        if (got > 0) received.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || !wouldWait()) closed_ = true;
    }
    return received;
}

bool RawConnection::closedByServer() {
    char buffer[16384];
    while (!closed_) {
        auto got = ::recv(fd_, buffer, sizeof buffer, kNoWait);
        if (got > 0) continue;
        if (got < 0 && wouldWait()) break;
        closed_ = true;
    }
    return closed_;
}

}  // namespace couloir::test
