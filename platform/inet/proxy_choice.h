// One way to reach a server (directly or through a given proxy), read from a PAC answer or from
// a fixed proxy setting.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace nv::inet {

struct ProxyChoice {
    enum class Kind { Direct, Http, Https, Socks4, Socks5 };
    Kind kind = Kind::Direct;
    std::string hostPort;  // "host:port" ("[v6]:port"); empty for Direct

    // The proxy as libcurl names it ("http://h:p", "socks5h://h:p", ...); empty for Direct.
    NV_PLATFORM_API std::string curlProxy() const;
    bool operator==(const ProxyChoice&) const = default;
};

// FindProxyForURL's answer: entries separated by ";" — "DIRECT", "PROXY h[:p]", "HTTP h[:p]",
// "HTTPS h[:p]", "SOCKS h[:p]" / "SOCKS4 ..." (SOCKS 4a), "SOCKS5 h[:p]" — in their order, the
// ones we cannot use skipped. Missing ports are 80 (PROXY/HTTP), 443 (HTTPS), 1080 (SOCKS).
NV_PLATFORM_API std::vector<ProxyChoice> parseProxyAnswer(std::string_view answer);

// The proxy a fixed setting gives for `scheme`: "h[:p]" for every scheme, or entries
// "scheme=h[:p]" (also "socks=h[:p]") separated by ";" or blanks, a bare entry serving the
// schemes without one of their own. nullopt when nothing applies (go direct).
NV_PLATFORM_API std::optional<ProxyChoice> fixedProxyFor(std::string_view server,
                                                         std::string_view scheme);

}  // namespace nv::inet
