// Parsing of WWW-Authenticate / Proxy-Authenticate values into their schemes and realms, so the
// engine can fill a credential prompt and pick an authentication scheme.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace nv::inet {

struct AuthChallenge {
    std::string scheme;  // as written, e.g. "Basic", "Digest", "NTLM", "Negotiate"
    std::string realm;   // unquoted; empty when the challenge has none
};

// One header value may hold several challenges ("Basic realm=\"a\", Digest realm=\"b\",
// qop=\"auth\""); each comes back in order. Unparsable text yields what was read before it.
NV_PLATFORM_API std::vector<AuthChallenge> parseAuthChallenges(std::string_view headerValue);

}  // namespace nv::inet
