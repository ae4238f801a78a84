#include "workbench/core/session/authentication_prompts.h"

#include "platform/inet/credential_prompt.h"

namespace sondar {

AuthenticationPrompts::~AuthenticationPrompts() {
    if (installed_)
        nv::inet::clearCredentialPrompt();
}

void AuthenticationPrompts::install() {
    installed_ = true;
    nv::inet::setCredentialPrompt([this](const nv::inet::CredentialChallenge&)
                                      -> std::optional<nv::inet::PromptedCredentials> {
        const auto credentials = ask();
        if (!credentials)
            return std::nullopt;
        return nv::inet::PromptedCredentials{credentials->userName.toStdString(),
                                             credentials->password.toStdString()};
    });
}

void AuthenticationPrompts::beginCommand() {
    asked_ = false;
    cancelled_ = false;
}

std::optional<Credentials> AuthenticationPrompts::ask() {
    if (cancelled_)
        return std::nullopt;
    asked_ = true;
    auto credentials = seam_.askBasicAuthentication();
    if (!credentials) {
        cancelled_ = true;
        return std::nullopt;
    }
    state_.basicAuth = *credentials;
    return credentials;
}

}  // namespace sondar
