#include "access.h"

#include <fstream>
#include <random>

namespace couloir::host::web {
namespace {

constexpr const char* kCookieName = "couloir_token";

// Compares without stopping at the first difference, so that timing tells nothing.
bool sameSecret(const std::string& given, const std::string& token) {
    if (given.size() != token.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i) difference |= static_cast<unsigned char>(given[i] ^ token[i]);
    return difference == 0;
}

// The value of one cookie of a Cookie header, empty when absent.
std::string cookieValue(const std::string& header, const std::string& name) {
    std::size_t at = 0;
    while (at < header.size()) {
        std::size_t end = header.find(';', at);
        if (end == std::string::npos) end = header.size();
        std::string pair = header.substr(at, end - at);
        std::size_t first = pair.find_first_not_of(' ');
        if (first != std::string::npos) pair = pair.substr(first);
        if (pair.rfind(name + "=", 0) == 0) return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

}  // namespace

std::string newToken() {
    std::random_device random;  // the system's random source
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) token += kHex[random() % 16];
    return token;
}

bool Access::holdsToken(const httplib::Request& request) const {
    if (sameSecret(cookieValue(request.get_header_value("Cookie"), kCookieName), token_)) return true;
    std::string authorization = request.get_header_value("Authorization");
    if (authorization.rfind("Bearer ", 0) == 0 && sameSecret(authorization.substr(7), token_)) return true;
    return request.has_param("token") && sameSecret(request.get_param_value("token"), token_);
}

void Access::servedAt(const std::string& listen, int port) {
    std::string suffix = ":" + std::to_string(port);
    origins_ = {"http://" + listen + suffix, "http://localhost" + suffix, "http://127.0.0.1" + suffix};
}

bool Access::originAllowed(const httplib::Request& request) const {
    if (!request.has_header("Origin")) return true;
    std::string origin = request.get_header_value("Origin");
    for (const std::string& allowed : origins_)
        if (origin == allowed) return true;
    return false;
}

std::string Access::cookie() const {
    return std::string(kCookieName) + "=" + token_ + "; Path=/; HttpOnly; SameSite=Strict";
}

}  // namespace couloir::host::web
