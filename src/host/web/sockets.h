// The socket calls of the web server's reception and connections that
// differ between systems (sockets_posix.cpp, sockets_windows.cpp). Sockets
// are cpp-httplib's socket_t; every socket here is non-blocking.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <string>
#include <vector>

namespace couloir::host::web::sockets {

// Whether the last failed call would have had to wait for the peer.
bool lastCallWouldBlock();
// Whether the last failed call was interrupted, and is to be made again.
bool lastCallInterrupted();

void setNonBlocking(socket_t socket);
// Each write goes out at once (the head of an answer, then its body).
void setNoDelay(socket_t socket);
void close(socket_t socket);
// No more sending (the peer reads the end), or nothing more at all.
void shutdownSending(socket_t socket);
void shutdownBoth(socket_t socket);
// recv and send; sending to a closed peer fails, it never stops the program.
long long receive(socket_t socket, char* data, std::size_t size);
long long send(socket_t socket, const char* data, std::size_t size);

enum class Readiness { Ready, TimedOut, Failed, Gone };
// Waits until the socket can be read (or written), at most `milliseconds`.
// Gone: written to, the peer no longer takes anything.
Readiness waitFor(socket_t socket, bool writing, int milliseconds);

// The peer's, or the local, address and port.
void peerAddress(socket_t socket, std::string& ip, int& port);
void localAddress(socket_t socket, std::string& ip, int& port);

// How many sockets the process may hold open; 0 when there is no such limit.
std::size_t openSocketLimit();

// Many sockets watched for data to read, by one thread; any thread may wake it.
class Watch {
public:
    Watch();
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool add(socket_t socket);
    void remove(socket_t socket);
    // The sockets that can be read, after at most `milliseconds` (none when woken).
    std::vector<socket_t> wait(int milliseconds);
    void wake();

private:
    struct State;
    State* state_;
};

}  // namespace couloir::host::web::sockets
