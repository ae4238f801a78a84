#include "platform/inet/proxy_bypass.h"

#include <arpa/inet.h>

#include <cstring>
#include <string>

#include "platform/inet/http_headers.h"

namespace nv::inet {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLoopbackLiteral(std::string_view host) {
    const std::string h(host);
    in_addr v4{};
    if (inet_pton(AF_INET, h.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, h.c_str(), &v6) == 1) {
        static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
        return std::memcmp(&v6, &loopback, sizeof v6) == 0;
    }
    return false;
}

bool matchesEntry(std::string_view entry, std::string_view scheme, std::string_view host,
                  std::uint16_t port) {
    if (asciiEqualsIgnoreCase(entry, "<local>"))
        return isLocalHost(host);
    if (const auto sep = entry.find("://"); sep != std::string_view::npos) {
        if (!asciiEqualsIgnoreCase(entry.substr(0, sep), scheme))
            return false;
        entry.remove_prefix(sep + 3);
    }
    // "host:port" patterns compare against both; a bare pattern against the host alone.
    const auto colon = entry.rfind(':');
    if (colon != std::string_view::npos && entry.find(']') == std::string_view::npos &&
        entry.find(':') == colon) {
        const std::string hostPort = std::string(host) + ":" + std::to_string(port);
        return wildcardMatch(hostPort, entry);
    }
    if (entry.size() > 2 && entry.front() == '[' && entry.back() == ']')
        entry = entry.substr(1, entry.size() - 2);
    return wildcardMatch(host, entry);
}

}  // namespace

bool isLocalHost(std::string_view host) {
    if (asciiEqualsIgnoreCase(host, "localhost"))
        return true;
    if (isLoopbackLiteral(host))
        return true;
    // Dotless names are intranet names; IPv6 literals are not names at all.
    return !host.empty() && host.find('.') == std::string_view::npos &&
           host.find(':') == std::string_view::npos;
}

bool wildcardMatch(std::string_view text, std::string_view pattern) {
    // Iterative matcher with one backtrack point: linear in practice, no recursion.
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(text[t]))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool bypassesProxy(std::string_view bypassList, std::string_view scheme, std::string_view host,
                   std::uint16_t port) {
    std::size_t i = 0;
    while (i < bypassList.size()) {
        const auto end = bypassList.find_first_of("; ,\t\r\n", i);
        const std::string_view entry = bypassList.substr(i, end - i);
        if (!entry.empty() && matchesEntry(entry, scheme, host, port))
            return true;
        if (end == std::string_view::npos)
            break;
        i = end + 1;
    }
    return false;
}

}  // namespace nv::inet
