#include "platform/inet/credential_prompt.h"

#include <memory>
#include <mutex>

namespace nv::inet {

namespace {

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}

// Shared so that a caller keeps the hook alive while it runs outside the lock (a dialog may
// take minutes, and an uninstall meanwhile must neither block nor pull it away).
std::shared_ptr<const CredentialPrompt>& hookSlot() {
    static std::shared_ptr<const CredentialPrompt> slot;
    return slot;
}

}  // namespace

void setCredentialPrompt(CredentialPrompt prompt) {
    auto next = prompt ? std::make_shared<const CredentialPrompt>(std::move(prompt)) : nullptr;
    std::lock_guard lock(hookMutex());
    hookSlot() = std::move(next);
}

void clearCredentialPrompt() {
    setCredentialPrompt(nullptr);
}

std::optional<PromptedCredentials> promptForCredentials(const CredentialChallenge& challenge) {
    std::shared_ptr<const CredentialPrompt> hook;
    {
        std::lock_guard lock(hookMutex());
        hook = hookSlot();
    }
    if (!hook)
        return std::nullopt;
    try {
        return (*hook)(challenge);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace nv::inet
