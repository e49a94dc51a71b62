// Who may use the web page: the holder of the token printed at start, and,
// for a request that changes something, a page served by this server.
#pragma once

#include <httplib.h>

#include <string>
#include <vector>

namespace couloir::host::web {

// A fresh random token: 32 hexadecimal digits from the system's random source.
std::string newToken();

class Access {
public:
    explicit Access(std::string token) : token_(std::move(token)) {}
    const std::string& token() const { return token_; }
    // The address the server answers at, with its port: the only hosts a
    // page of this server is served from.
    void servedAt(const std::string& listen, int port);

    // The request carries the token: in its cookie, its Authorization header
    // (Bearer) or its `token` parameter.
    bool holdsToken(const httplib::Request& request) const;
    // A request that changes something comes from no page (a script) or from
    // a page of this server: its Origin, when there is one, is this server,
    // under its address, localhost or 127.0.0.1.
    bool originAllowed(const httplib::Request& request) const;
    // The cookie that keeps the token: HttpOnly, SameSite=Strict.
    std::string cookie() const;

private:
    std::string token_;
    std::vector<std::string> origins_;
};

}  // namespace couloir::host::web
