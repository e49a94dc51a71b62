// What the web server grants one client, so that no client, whatever it
// sends and however slowly, takes the server's memory or keeps the token
// holder waiting (docs/web.md, "Limits").
#pragma once

#include <chrono>
#include <cstddef>

namespace couloir::host::web {

struct RequestLimits {
    // The request line and the headers together; over it: 431.
    std::size_t headBytes = std::size_t{64} << 10;
    // The time to send a request's line and headers, from the moment the
    // server waits for them (COULOIR_WEB_READ_DEADLINE); over it: 408.
    std::chrono::milliseconds readDeadline{20000};
    // A body adds one second to that time per this many bytes received: a
    // 512 MB upload has over eight minutes, where loopback needs seconds.
    std::size_t bodyBytesPerSecond = std::size_t{1} << 20;
    // Silence allowed while a body is under way, and while a response waits
    // for the client to take it.
    std::chrono::milliseconds readPause{5000};
    std::chrono::milliseconds writePause{5000};
    // A connection kept open between two requests, and how many requests it serves.
    std::chrono::milliseconds keepAliveIdle{5000};
    std::size_t keepAliveRequests = 100;
    // The threads that answer requests whose head has arrived (a page
    // following an operation's events holds one while the operation runs).
    std::size_t workers = 32;
    // Connections open at once; lowered to fit the open-file limit. Past it,
    // the connection that has waited longest for its request is closed.
    std::size_t connections = 512;
};

// The defaults, with COULOIR_WEB_READ_DEADLINE (seconds, decimals allowed,
// from 0.1 to 3600) when it is set. A value out of that range, or not a
// number, is an error naming the variable (couloir::Error), never replaced.
RequestLimits requestLimitsFromEnvironment();

// How many connections fit under an open-file limit `openFiles` (0: none),
// keeping room for what the workers open (the database, the uploads, the traces).
std::size_t connectionsWithin(std::size_t wanted, std::size_t openFiles, std::size_t workers);

}  // namespace couloir::host::web
