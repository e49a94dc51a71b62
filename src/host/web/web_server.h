// The web host: a local HTTP server on the club database that serves the
// page and its JSON API (docs/web.md) to the holder of its token.
#pragma once

#include <httplib.h>

#include <string>

#include "club_browser.h"
#include "club_search.h"
#include "duplicate_cache.h"
#include "operation_runner.h"
#include "access.h"
#include "guarded_server.h"
#include "request_limits.h"

namespace couloir::host::web {

class WebServer {
public:
    WebServer(const std::string& database, std::string listen, RequestLimits limits = {});
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds the address; port 0 takes a free one. False when it cannot.
    bool bind(int port);
    int port() const { return port_; }
    // The address to open, token included.
    std::string address() const;
    // Answers requests until stop().
    void run();
    void stop() { server_.stop(); }

private:
    void routes();
    void postOperation(const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& reader);
    void sendFiles(const httplib::Request& request, httplib::Response& response);
    void sendEvents(const httplib::Request& request, httplib::Response& response);

    GuardedServer server_;
    std::string listen_;
    int port_ = 0;
    Access access_;
    ClubBrowser browser_;
    ClubSearch search_;
    DuplicateCache duplicates_;
    OperationRunner runner_;  // after search_ and duplicates_: an operation's end makes them read the database again
};

}  // namespace couloir::host::web
