// Process-wide hook through which the engine asks the user for credentials after a 401 or 407.
// The GUI installs it; the HTTP session never calls it by itself.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/export.h"

namespace nv::inet {

struct CredentialChallenge {
    std::string url;     // the address that answered with the challenge
    std::string realm;   // may be empty (NTLM has none)
    std::string scheme;  // "Basic", "Digest", "NTLM", ... as the server named it
    bool forProxy = false;
    int attempt = 1;  // 1 for the first prompt of a request, then 2, 3, ...
};

struct PromptedCredentials {
    std::string user;
    std::string password;
};

// nullopt: cancel (do not retry).
using CredentialPrompt =
    std::function<std::optional<PromptedCredentials>(const CredentialChallenge&)>;

// Installs `prompt` (an empty function uninstalls). Safe from any thread; a prompt already
// running on another thread finishes with the hook it started with.
NV_PLATFORM_API void setCredentialPrompt(CredentialPrompt prompt);
NV_PLATFORM_API void clearCredentialPrompt();

// Asks the installed hook. Cancel when none is installed or when the hook throws.
NV_PLATFORM_API std::optional<PromptedCredentials> promptForCredentials(
    const CredentialChallenge& challenge);

}  // namespace nv::inet
