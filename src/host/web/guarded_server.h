// cpp-httplib's server, with the limits it lacks against a client that sends
// too much or too slowly (request_limits.h).
//
// cpp-httplib (0.11.4) gives each accepted connection to a worker of a fixed
// pool, which then waits on it for as long as the client keeps sending: one
// header line every few seconds holds a worker indefinitely, and the header
// lines of a request are kept however many there are. So the connections do
// not go to a worker straight away. One reception thread watches every
// connection that is waiting for a request (epoll, non-blocking reads),
// keeps at most `headBytes` of it, and answers 431 past that, or 408 at the
// read deadline. Only a request whose head has wholly arrived goes to a
// worker, which has cpp-httplib parse and answer it (Server::process_request,
// over a ConnectionStream that holds the rest of the request to its
// deadline). Between two requests, a kept-alive connection goes back to the
// reception: an idle or slow client costs a socket, never a worker.
//
// The hook is cpp-httplib's own: the accept loop (listen_after_bind) hands
// each socket to the task queue, whose job calls process_and_close_socket;
// our task queue runs that job at once on the accepting thread, and our
// process_and_close_socket gives the socket to the reception.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "request_limits.h"

namespace couloir::host::web {

class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(RequestLimits limits);
    ~GuardedServer() override;
    GuardedServer(const GuardedServer&) = delete;
    GuardedServer& operator=(const GuardedServer&) = delete;

    const RequestLimits& limits() const { return limits_; }
    // Binds the address (port 0: a free one) and listens; the port, or -1.
    int bindTo(const std::string& host, int port);

private:
    class Gate;

    bool process_and_close_socket(socket_t sock) override;

    const RequestLimits limits_;
    std::unique_ptr<Gate> gate_;  // while listening
};

}  // namespace couloir::host::web
