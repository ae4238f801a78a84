// The functions a proxy auto-configuration script may call: the script-side ones as ECMAScript
// source, and the two that need the system (name resolution, own address) as plain C++.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nv::inet::pac {

// Defines isPlainHostName, dnsDomainIs, localHostOrDomainIs, isResolvable, isInNet,
// dnsDomainLevels, shExpMatch, weekdayRange, dateRange, timeRange, convert_addr and alert
// (a no-op) on top of the native dnsResolve and myIpAddress.
extern const char* const kHelperScript;

// The first IPv4 address `host` resolves to, dotted; nullopt when it does not resolve.
std::optional<std::string> resolveIpv4(std::string_view host);

// The address of the first interface that is up and not loopback; "127.0.0.1" when none.
std::string ownIpv4Address();

}  // namespace nv::inet::pac
