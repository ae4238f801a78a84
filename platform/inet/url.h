// URL cracking in the manner of InternetCrackUrl, and RFC 3986 reference resolution.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace nv::inet {

struct Url {
    std::string scheme;      // lower case; "http" when the text has none
    std::string host;        // lower case; an IPv6 literal without its brackets
    std::uint16_t port = 0;  // the scheme's default when the text has none (0 if it has none)
    std::string user;        // percent-decoded
    std::string password;    // percent-decoded
    std::string path;        // as written (still percent-encoded); "/" when empty
    std::string extra;       // query and fragment, starting with "?" or "#"; may be empty

    // Cracks `text` (surrounding blanks ignored). Fails (nullopt) on an empty or missing host,
    // a host with characters no host name has, a malformed IPv6 literal, a port that is not a
    // number in 1..65535, and a scheme followed by something other than "//".
    NV_PLATFORM_API static std::optional<Url> parse(std::string_view text);

    // scheme://[user[:password]@]host[:port]path extra; the port only when not the default,
    // user and password percent-encoded again.
    NV_PLATFORM_API std::string toString() const;

    // The query part of `extra` ("?..." up to any "#"), and the fragment ("#..." or empty).
    NV_PLATFORM_API std::string_view query() const;
    NV_PLATFORM_API std::string_view fragment() const;

    // host, in brackets when it is an IPv6 literal, then ":" port when not the default.
    NV_PLATFORM_API std::string authority() const;

    bool operator==(const Url&) const = default;
};

// 80 for http, 443 for https, 21 for ftp; 0 for a scheme without a known port.
NV_PLATFORM_API std::uint16_t defaultPort(std::string_view scheme);

// RFC 3986 section 5.2 (strict): `reference` resolved against the absolute URL `base`, with
// dot segments removed. Purely textual: no case or percent normalization, so equal inputs give
// equal keys. Blanks around `reference` are ignored (schema locations often carry them).
NV_PLATFORM_API std::string resolveReference(std::string_view base, std::string_view reference);

// Percent-decoding of every "%XX"; a "%" not followed by two hex digits stays as it is.
NV_PLATFORM_API std::string percentDecode(std::string_view s);

}  // namespace nv::inet
