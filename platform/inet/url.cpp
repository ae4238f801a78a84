#include "platform/inet/url.h"

#include <arpa/inet.h>

#include <charconv>
#include <string>

namespace nv::inet {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isSchemeText(std::string_view s) {
    if (s.empty() || !isAlpha(s.front()))
        return false;
    for (char c : s)
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    return true;
}

bool isAllDigits(std::string_view s) {
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

// Registered names: RFC 3986 unreserved and sub-delims, plus raw UTF-8 for international
// names (libcurl converts them). Anything else cannot be a host a request can go to.
bool isHostChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80)
        return true;
    if (isAlpha(c) || isDigit(c))
        return true;
    switch (c) {
        case '-':
        case '.':
        case '_':
        case '~':
        case '!':
        case '$':
        case '&':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '+':
        case ',':
        case ';':
        case '=':
            return true;
        default:
            return false;
    }
}

bool isValidIpv6Literal(std::string_view inside) {
    // A zone ("%25eth0" as RFC 6874 writes it, or a bare "%eth0") is not part of the address.
    const std::string address(inside.substr(0, inside.find('%')));
    in6_addr a{};
    return !address.empty() && inet_pton(AF_INET6, address.c_str(), &a) == 1;
}

bool parsePort(std::string_view text, std::uint16_t& port) {
    if (text.empty() || text.size() > 5 || !isAllDigits(text))
        return false;
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

std::string percentEncodeUserInfo(std::string_view s) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' ||
                          c == '~' || c == '!' || c == '$' || c == '&' || c == '\'' || c == '(' ||
                          c == ')' || c == '*' || c == '+' || c == ',' || c == ';' || c == '=';
        if (keep) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

// The five components of RFC 3986 appendix B; an absent component differs from an empty one.
struct Parts {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

Parts splitReference(std::string_view s) {
    Parts p;
    const auto firstSpecial = s.find_first_of(":/?#");
    if (firstSpecial != std::string_view::npos && firstSpecial > 0 && s[firstSpecial] == ':') {
        p.scheme = s.substr(0, firstSpecial);
        s.remove_prefix(firstSpecial + 1);
    }
    if (s.starts_with("//")) {
        s.remove_prefix(2);
        const auto end = s.find_first_of("/?#");
        p.authority = s.substr(0, end);
        s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    }
    const auto pathEnd = s.find_first_of("?#");
    p.path = s.substr(0, pathEnd);
    s = pathEnd == std::string_view::npos ? std::string_view{} : s.substr(pathEnd);
    if (s.starts_with('?')) {
        const auto end = s.find('#');
        p.query = s.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
        s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    }
    if (s.starts_with('#'))
        p.fragment = s.substr(1);
    return p;
}

// RFC 3986 section 5.2.4.
std::string removeDotSegments(std::string_view in) {
    std::string out;
    auto dropLastSegment = [&out] {
        const auto slash = out.rfind('/');
        out.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.remove_prefix(3);
        } else if (in.starts_with("./")) {
            in.remove_prefix(2);
        } else if (in.starts_with("/./")) {
            in.remove_prefix(2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.starts_with("/../")) {
            in.remove_prefix(3);
            dropLastSegment();
        } else if (in == "/..") {
            in = "/";
            dropLastSegment();
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            const auto next = in.find('/', in.front() == '/' ? 1 : 0);
            out.append(in.substr(0, next));
            in = next == std::string_view::npos ? std::string_view{} : in.substr(next);
        }
    }
    return out;
}

// RFC 3986 section 5.2.3.
std::string mergePaths(const Parts& base, std::string_view referencePath) {
    if (base.authority && base.path.empty())
        return "/" + std::string(referencePath);
    const auto slash = base.path.rfind('/');
    if (slash == std::string_view::npos)
        return std::string(referencePath);
    return std::string(base.path.substr(0, slash + 1)) + std::string(referencePath);
}

}  // namespace

std::uint16_t defaultPort(std::string_view scheme) {
    if (scheme == "http")
        return 80;
    if (scheme == "https")
        return 443;
    if (scheme == "ftp")
        return 21;
    return 0;
}

std::optional<Url> Url::parse(std::string_view text) {
    std::string_view s = trim(text);
    if (s.empty())
        return std::nullopt;

    Url url;
    const auto colon = s.find(':');
    const auto firstSpecial = s.find_first_of(":/?#");
    bool hasScheme = false;
    if (colon != std::string_view::npos && colon == firstSpecial &&
        isSchemeText(s.substr(0, colon))) {
        const std::string_view after = s.substr(colon + 1);
        if (after.starts_with("//")) {
            hasScheme = true;
        } else {
            // "host:8080/path" has no scheme; "name:anything-else" is not a URL we can use.
            const std::string_view port = after.substr(0, after.find_first_of("/?#"));
            if (port.empty() || !isAllDigits(port))
                return std::nullopt;
        }
    }
    if (hasScheme) {
        url.scheme = lower(s.substr(0, colon));
        s.remove_prefix(colon + 3);
    } else {
        url.scheme = "http";
        if (s.starts_with("//"))
            s.remove_prefix(2);
    }

    const auto authorityEnd = s.find_first_of("/?#");
    std::string_view authority = s.substr(0, authorityEnd);
    std::string_view rest =
        authorityEnd == std::string_view::npos ? std::string_view{} : s.substr(authorityEnd);

    const auto at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const auto sep = userInfo.find(':');
        url.user = percentDecode(userInfo.substr(0, sep));
        if (sep != std::string_view::npos)
            url.password = percentDecode(userInfo.substr(sep + 1));
        authority.remove_prefix(at + 1);
    }

    std::string_view host;
    std::string_view portText;
    bool hasPort = false;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = authority.substr(1, close - 1);
        if (!isValidIpv6Literal(host))
            return std::nullopt;
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return std::nullopt;
            portText = after.substr(1);
            hasPort = true;
        }
    } else {
        const auto portSep = authority.rfind(':');
        host = authority.substr(0, portSep);
        if (portSep != std::string_view::npos) {
            portText = authority.substr(portSep + 1);
            hasPort = true;
        }
        for (char c : host)
            if (!isHostChar(c))
                return std::nullopt;
    }
    if (host.empty())
        return std::nullopt;
    url.host = lower(host);

    url.port = defaultPort(url.scheme);
    // "host:" means the default port (RFC 3986 allows the empty port).
    if (hasPort && !portText.empty() && !parsePort(portText, url.port))
        return std::nullopt;

    const auto pathEnd = rest.find_first_of("?#");
    url.path = std::string(rest.substr(0, pathEnd));
    if (url.path.empty())
        url.path = "/";
    if (pathEnd != std::string_view::npos)
        url.extra = std::string(rest.substr(pathEnd));
    return url;
}

std::string Url::authority() const {
    std::string out;
    if (host.find(':') != std::string::npos) {
        out = "[" + host + "]";
    } else {
        out = host;
    }
    if (port != 0 && port != defaultPort(scheme))
        out += ":" + std::to_string(port);
    return out;
}

std::string Url::toString() const {
    std::string out = scheme + "://";
    if (!user.empty() || !password.empty()) {
        out += percentEncodeUserInfo(user);
        if (!password.empty())
            out += ":" + percentEncodeUserInfo(password);
        out += "@";
    }
    out += authority();
    out += path.empty() ? "/" : path;
    out += extra;
    return out;
}

std::string_view Url::query() const {
    std::string_view e = extra;
    if (!e.starts_with('?'))
        return {};
    return e.substr(0, e.find('#'));
}

std::string_view Url::fragment() const {
    std::string_view e = extra;
    const auto hash = e.find('#');
    return hash == std::string_view::npos ? std::string_view{} : e.substr(hash);
}

std::string percentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string resolveReference(std::string_view base, std::string_view reference) {
    const Parts b = splitReference(trim(base));
    const Parts r = splitReference(trim(reference));

    Parts t;
    std::string path;
    if (r.scheme) {
        t.scheme = r.scheme;
        t.authority = r.authority;
        path = removeDotSegments(r.path);
        t.query = r.query;
    } else {
        if (r.authority) {
            t.authority = r.authority;
            path = removeDotSegments(r.path);
            t.query = r.query;
        } else {
            if (r.path.empty()) {
                path = std::string(b.path);
                t.query = r.query ? r.query : b.query;
            } else {
                path = removeDotSegments(r.path.starts_with('/') ? std::string(r.path)
                                                                 : mergePaths(b, r.path));
                t.query = r.query;
            }
            t.authority = b.authority;
        }
        t.scheme = b.scheme;
    }
    t.fragment = r.fragment;

    // RFC 3986 section 5.3.
    std::string out;
    if (t.scheme)
        out.append(*t.scheme).append(":");
    if (t.authority)
        out.append("//").append(*t.authority);
    out += path;
    if (t.query)
        out.append("?").append(*t.query);
    if (t.fragment)
        out.append("#").append(*t.fragment);
    return out;
}

}  // namespace nv::inet
