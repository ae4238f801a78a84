#include "platform/inet/proxy_choice.h"

#include "platform/inet/http_headers.h"

namespace nv::inet {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() &&
           (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// "host", "host:port", "[v6]", "[v6]:port" with the default port filled in; empty when the
// text cannot be an address.
std::string withPort(std::string_view address, const char* defaultPort) {
    address = trim(address);
    if (address.empty() || address.find_first_of(" \t/") != std::string_view::npos)
        return {};
    if (address.front() == '[') {
        const auto close = address.find(']');
        if (close == std::string_view::npos)
            return {};
        if (close + 1 == address.size())
            return std::string(address) + ":" + defaultPort;
        return address[close + 1] == ':' && close + 2 < address.size() ? std::string(address)
                                                                       : std::string{};
    }
    const auto colon = address.find(':');
    if (colon == std::string_view::npos)
        return std::string(address) + ":" + defaultPort;
    if (colon == 0 || colon + 1 == address.size() || address.find(':', colon + 1) != address.npos)
        return {};
    return std::string(address);
}

std::optional<ProxyChoice> choice(ProxyChoice::Kind kind, std::string_view address,
                                  const char* defaultPort) {
    std::string hostPort = withPort(address, defaultPort);
    if (hostPort.empty())
        return std::nullopt;
    return ProxyChoice{kind, std::move(hostPort)};
}

// An address with an optional "http://"-style prefix naming the proxy's own protocol.
std::optional<ProxyChoice> fixedEntry(std::string_view address, ProxyChoice::Kind kind) {
    const char* port = "80";
    if (const auto sep = address.find("://"); sep != std::string_view::npos) {
        const std::string_view scheme = address.substr(0, sep);
        address.remove_prefix(sep + 3);
        if (asciiEqualsIgnoreCase(scheme, "https")) {
            kind = ProxyChoice::Kind::Https;
            port = "443";
        } else if (asciiEqualsIgnoreCase(scheme, "socks") ||
                   asciiEqualsIgnoreCase(scheme, "socks4")) {
            kind = ProxyChoice::Kind::Socks4;
            port = "1080";
        } else if (asciiEqualsIgnoreCase(scheme, "socks5")) {
            kind = ProxyChoice::Kind::Socks5;
            port = "1080";
        } else if (!asciiEqualsIgnoreCase(scheme, "http")) {
            return std::nullopt;
        }
        while (!address.empty() && address.back() == '/')
            address.remove_suffix(1);
    } else if (kind == ProxyChoice::Kind::Socks4) {
        port = "1080";
    }
    return choice(kind, address, port);
}

}  // namespace

std::string ProxyChoice::curlProxy() const {
    switch (kind) {
        case Kind::Direct:
            return {};
        case Kind::Http:
            return "http://" + hostPort;
        case Kind::Https:
            return "https://" + hostPort;
        case Kind::Socks4:
            return "socks4a://" + hostPort;
        case Kind::Socks5:
            return "socks5h://" + hostPort;
    }
    return {};
}

std::vector<ProxyChoice> parseProxyAnswer(std::string_view answer) {
    std::vector<ProxyChoice> out;
    std::size_t i = 0;
    while (i <= answer.size()) {
        const auto end = answer.find(';', i);
        const std::string_view entry = trim(answer.substr(i, end - i));
        i = end == std::string_view::npos ? answer.size() + 1 : end + 1;
        if (entry.empty())
            continue;
        const auto blank = entry.find_first_of(" \t");
        const std::string_view keyword = entry.substr(0, blank);
        const std::string_view address =
            blank == std::string_view::npos ? std::string_view{} : entry.substr(blank + 1);
        std::optional<ProxyChoice> c;
        if (asciiEqualsIgnoreCase(keyword, "DIRECT")) {
            c = ProxyChoice{};
        } else if (asciiEqualsIgnoreCase(keyword, "PROXY") ||
                   asciiEqualsIgnoreCase(keyword, "HTTP")) {
            c = choice(ProxyChoice::Kind::Http, address, "80");
        } else if (asciiEqualsIgnoreCase(keyword, "HTTPS")) {
            c = choice(ProxyChoice::Kind::Https, address, "443");
        } else if (asciiEqualsIgnoreCase(keyword, "SOCKS") ||
                   asciiEqualsIgnoreCase(keyword, "SOCKS4")) {
            c = choice(ProxyChoice::Kind::Socks4, address, "1080");
        } else if (asciiEqualsIgnoreCase(keyword, "SOCKS5")) {
            c = choice(ProxyChoice::Kind::Socks5, address, "1080");
        }
        if (c)
            out.push_back(std::move(*c));
    }
    return out;
}

std::optional<ProxyChoice> fixedProxyFor(std::string_view server, std::string_view scheme) {
    std::optional<ProxyChoice> own, bare, socks;
    std::size_t i = 0;
    while (i <= server.size()) {
        const auto end = server.find_first_of("; \t", i);
        const std::string_view entry = server.substr(i, end - i);
        i = end == std::string_view::npos ? server.size() + 1 : end + 1;
        if (entry.empty())
            continue;
        const auto eq = entry.find('=');
        if (eq == std::string_view::npos) {
            if (!bare)
                bare = fixedEntry(entry, ProxyChoice::Kind::Http);
            continue;
        }
        const std::string_view forScheme = entry.substr(0, eq);
        const std::string_view address = entry.substr(eq + 1);
        if (asciiEqualsIgnoreCase(forScheme, scheme)) {
            if (!own)
                own = fixedEntry(address, ProxyChoice::Kind::Http);
        } else if (asciiEqualsIgnoreCase(forScheme, "socks")) {
            if (!socks)
                socks = fixedEntry(address, ProxyChoice::Kind::Socks4);
        }
    }
    if (own)
        return own;
    if (bare)
        return bare;
    return socks;
}

}  // namespace nv::inet
