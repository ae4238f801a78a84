#include "workbench/core/session/authentication_prompts.h"

#include "platform/inet/credential_prompt.h"
#include "workbench/core/engine/com_error.h"
#include "workbench/core/engine/engine_texts.h"
#include "workbench/core/engine/nvws_control.h"

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

void AuthenticationPrompts::callWithCredentials(TCNVWSControl& control, QString& errorText,
                                                const std::function<void()>& call) {
    try {
        call();
        return;
    } catch (const EOleSysError&) {
        if (!asksForCredentials(errorText))
            throw;
    }
    if (auto credentials = ask()) {
        QString authError;
        control.SetHTTPAuthentication(credentials->userName, credentials->password, authError);
    }
    errorText.clear();
    call();
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
