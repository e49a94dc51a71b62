#include "sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace couloir::host::web::sockets {
namespace {

void addressOf(bool peer, socket_t socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    int length = sizeof address;
    ip.clear();
    port = 0;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? ::getpeername(socket, raw, &length) : ::getsockname(socket, raw, &length)) != 0) return;
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        auto* in = reinterpret_cast<sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
}

}  // namespace

bool lastCallWouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
bool lastCallInterrupted() { return WSAGetLastError() == WSAEINTR; }

void setNonBlocking(socket_t socket) {
    u_long on = 1;
    ::ioctlsocket(socket, FIONBIO, &on);
}

void setNoDelay(socket_t socket) {
    BOOL on = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

void close(socket_t socket) { ::closesocket(socket); }
void shutdownSending(socket_t socket) { ::shutdown(socket, SD_SEND); }
void shutdownBoth(socket_t socket) { ::shutdown(socket, SD_BOTH); }

long long receive(socket_t socket, char* data, std::size_t size) {
    return ::recv(socket, data, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
}

long long send(socket_t socket, const char* data, std::size_t size) {
    return ::send(socket, data, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
}

Readiness waitFor(socket_t socket, bool writing, int milliseconds) {
    WSAPOLLFD watched{socket, static_cast<short>(writing ? POLLOUT : POLLRDNORM), 0};
    int ready = ::WSAPoll(&watched, 1, milliseconds);
    if (ready < 0) return Readiness::Failed;
    if (ready == 0) return Readiness::TimedOut;
    if (writing && (watched.revents & (POLLERR | POLLHUP))) return Readiness::Gone;
    if (writing && !(watched.revents & POLLOUT)) return Readiness::Failed;
    return Readiness::Ready;
}

void peerAddress(socket_t socket, std::string& ip, int& port) { addressOf(true, socket, ip, port); }
void localAddress(socket_t socket, std::string& ip, int& port) { addressOf(false, socket, ip, port); }

std::size_t openSocketLimit() { return 0; }

// WSAPoll over the watched sockets, woken by a datagram the watch sends
// itself on the loopback.
struct Watch::State {
    std::vector<socket_t> watched;
    socket_t wake = INVALID_SOCKET;
};

Watch::Watch() : state_(new State) {
    socket_t wake = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (wake != INVALID_SOCKET && ::bind(wake, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(wake, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
        ::connect(wake, reinterpret_cast<sockaddr*>(&address), length) == 0) {
        setNonBlocking(wake);
        state_->wake = wake;
    } else if (wake != INVALID_SOCKET) {
        ::closesocket(wake);
    }
}

Watch::~Watch() {
    if (state_->wake != INVALID_SOCKET) ::closesocket(state_->wake);
    delete state_;
}

bool Watch::add(socket_t socket) {
    state_->watched.push_back(socket);
    return true;
}

void Watch::remove(socket_t socket) { std::erase(state_->watched, socket); }

std::vector<socket_t> Watch::wait(int milliseconds) {
    std::vector<WSAPOLLFD> polled;
    polled.reserve(state_->watched.size() + 1);
    if (state_->wake != INVALID_SOCKET) polled.push_back({state_->wake, POLLRDNORM, 0});
    for (socket_t socket : state_->watched) polled.push_back({socket, POLLRDNORM, 0});
    std::vector<socket_t> ready;
    if (polled.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return ready;
    }
    if (::WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), milliseconds) <= 0) return ready;
    for (const WSAPOLLFD& entry : polled) {
        if (!entry.revents) continue;
        if (entry.fd == state_->wake) {
            char ignored[64];
            while (::recv(state_->wake, ignored, sizeof ignored, 0) > 0) {
            }
        } else {
            ready.push_back(entry.fd);
        }
    }
    return ready;
}

void Watch::wake() {
    if (state_->wake != INVALID_SOCKET) ::send(state_->wake, "!", 1, 0);
}

}  // namespace couloir::host::web::sockets
