// Whether a request skips the fixed proxy, by the session's bypass list.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/export.h"

namespace nv::inet {

// localhost, an IPv4 literal in 127.0.0.0/8, the IPv6 loopback, or a name without a dot.
NV_PLATFORM_API bool isLocalHost(std::string_view host);

// `host` as Url::parse gives it (lower case, IPv6 without brackets). See ProxyConfig::bypass.
NV_PLATFORM_API bool bypassesProxy(std::string_view bypassList, std::string_view scheme,
                                   std::string_view host, std::uint16_t port);

// Shell-style match ("*" any run, "?" one character), ASCII case-insensitive.
NV_PLATFORM_API bool wildcardMatch(std::string_view text, std::string_view pattern);

}  // namespace nv::inet
