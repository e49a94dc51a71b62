#include "sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>

namespace couloir::host::web::sockets {
namespace {

using AddressOf = int (*)(int, sockaddr*, socklen_t*);

void addressOf(AddressOf get, socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    if (get(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
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

}  // namespace

bool lastCallWouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
bool lastCallInterrupted() { return errno == EINTR; }

void setNonBlocking(socket_t socket) { ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL, 0) | O_NONBLOCK); }

void setNoDelay(socket_t socket) {
    int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void close(socket_t socket) { ::close(socket); }
void shutdownSending(socket_t socket) { ::shutdown(socket, SHUT_WR); }
void shutdownBoth(socket_t socket) { ::shutdown(socket, SHUT_RDWR); }

long long receive(socket_t socket, char* data, std::size_t size) { return ::recv(socket, data, size, 0); }
long long send(socket_t socket, const char* data, std::size_t size) { return ::send(socket, data, size, MSG_NOSIGNAL); }

Readiness waitFor(socket_t socket, bool writing, int milliseconds) {
    pollfd watched{socket, static_cast<short>(writing ? POLLOUT : POLLIN), 0};
    int ready = ::poll(&watched, 1, milliseconds);
    if (ready < 0) return errno == EINTR ? Readiness::TimedOut : Readiness::Failed;
    if (ready == 0) return Readiness::TimedOut;
    if (writing && (watched.revents & (POLLERR | POLLHUP))) return Readiness::Gone;
    if (writing && !(watched.revents & POLLOUT)) return Readiness::Failed;
    // A closed or failed socket is "ready": the read or write that follows says so.
    return Readiness::Ready;
}

void peerAddress(socket_t socket, std::string& ip, int& port) { addressOf(::getpeername, socket, ip, port); }
void localAddress(socket_t socket, std::string& ip, int& port) { addressOf(::getsockname, socket, ip, port); }

std::size_t openSocketLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
    return static_cast<std::size_t>(limit.rlim_cur);
}

// epoll, woken through an eventfd.
struct Watch::State {
    int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
};

Watch::Watch() : state_(new State) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = state_->wake;
    ::epoll_ctl(state_->epoll, EPOLL_CTL_ADD, state_->wake, &event);
}

Watch::~Watch() {
    ::close(state_->epoll);
    ::close(state_->wake);
    delete state_;
}

bool Watch::add(socket_t socket) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = socket;
    return ::epoll_ctl(state_->epoll, EPOLL_CTL_ADD, socket, &event) == 0;
}

void Watch::remove(socket_t socket) { ::epoll_ctl(state_->epoll, EPOLL_CTL_DEL, socket, nullptr); }

std::vector<socket_t> Watch::wait(int milliseconds) {
    std::array<epoll_event, 64> events;
    int count = ::epoll_wait(state_->epoll, events.data(), static_cast<int>(events.size()), milliseconds);
    std::vector<socket_t> ready;
    for (int i = 0; i < count; ++i) {
        int fd = events[static_cast<std::size_t>(i)].data.fd;
        if (fd == state_->wake) {
            std::uint64_t ignored;
            [[maybe_unused]] auto got = ::read(state_->wake, &ignored, sizeof ignored);
        } else {
            ready.push_back(fd);
        }
    }
    return ready;
}

void Watch::wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(state_->wake, &one, sizeof one);
}

}  // namespace couloir::host::web::sockets
