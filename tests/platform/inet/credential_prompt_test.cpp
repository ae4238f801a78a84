#include "platform/inet/credential_prompt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace nv::inet {
namespace {

class CredentialPromptTest : public ::testing::Test {
  protected:
    void TearDown() override { clearCredentialPrompt(); }
};

TEST_F(CredentialPromptTest, CancelsWithoutAHook) {
    EXPECT_FALSE(promptForCredentials({"http://a.test/", "realm", "Basic", false, 1}));
}

TEST_F(CredentialPromptTest, HookSeesTheChallengeAndAnswers) {
    CredentialChallenge seen;
    setCredentialPrompt([&](const CredentialChallenge& c) -> std::optional<PromptedCredentials> {
        seen = c;
        if (c.attempt > 2)
            return std::nullopt;
        return PromptedCredentials{"user", "pw" + std::to_string(c.attempt)};
    });
    const auto first = promptForCredentials({"http://p.test/", "corp", "Digest", true, 2});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->user, "user");
    EXPECT_EQ(first->password, "pw2");
    EXPECT_EQ(seen.url, "http://p.test/");
    EXPECT_EQ(seen.realm, "corp");
    EXPECT_EQ(seen.scheme, "Digest");
    EXPECT_TRUE(seen.forProxy);
    EXPECT_FALSE(promptForCredentials({"http://p.test/", "corp", "Digest", true, 3}));

    clearCredentialPrompt();
    EXPECT_FALSE(promptForCredentials({"http://p.test/", "corp", "Digest", true, 1}));
}

TEST_F(CredentialPromptTest, ThrowingHookMeansCancel) {
    setCredentialPrompt([](const CredentialChallenge&) -> std::optional<PromptedCredentials> {
        throw std::runtime_error("dialog failed");
    });
    EXPECT_FALSE(promptForCredentials({}));
}

TEST_F(CredentialPromptTest, InstallingWhileOthersPromptIsSafe) {
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::vector<std::thread> askers;
    for (int i = 0; i < 4; ++i)
        askers.emplace_back([&] {
            while (!stop)
                if (promptForCredentials({}))
                    ++answered;
        });
    for (int i = 0; i < 2000; ++i) {
        if (i % 2) {
            clearCredentialPrompt();
        } else {
            setCredentialPrompt([](const CredentialChallenge&) {
                return std::optional<PromptedCredentials>(PromptedCredentials{"u", "p"});
            });
        }
    }
    stop = true;
    for (auto& t : askers)
        t.join();
    clearCredentialPrompt();
    EXPECT_FALSE(promptForCredentials({}));
}

}  // namespace
}  // namespace nv::inet
