#include "NetUtil.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

bool IsDigitsAndDots(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '.')) {
            return false;
        }
    }
    return true;
}

bool GetIpByHostName(const std::string& name, std::string* out) {
    if (name.empty() || out == nullptr) {
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
        return false;
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    const bool ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(result);
    if (ok) {
        *out = std::string(text).substr(0, 127);
    }
    return ok;
}
