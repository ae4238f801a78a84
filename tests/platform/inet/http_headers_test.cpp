#include "platform/inet/http_headers.h"

#include <gtest/gtest.h>

#include "platform/inet/auth_challenge.h"

namespace nv::inet {
namespace {

TEST(HttpHeaders, LooksUpNamesWithoutCase) {
    HttpHeaders h;
    h.addLine("Content-Type: text/xml; charset=utf-8\r\n");
    h.addLine("www-authenticate: Basic realm=\"a\"\r\n");
    h.addLine("WWW-Authenticate:   Digest realm=\"b\"  \r\n");
    EXPECT_EQ(h.get("CONTENT-TYPE"), "text/xml; charset=utf-8");
    EXPECT_EQ(h.get("WWW-Authenticate"), "Basic realm=\"a\"");
    EXPECT_EQ(h.all("Www-Authenticate"),
              (std::vector<std::string>{"Basic realm=\"a\"", "Digest realm=\"b\""}));
    EXPECT_FALSE(h.get("Location"));
    EXPECT_TRUE(h.all("Location").empty());
}

TEST(HttpHeaders, FoldsContinuationLinesAndSkipsJunk) {
    HttpHeaders h;
    h.addLine("X-Long: first\r\n");
    h.addLine("   second\r\n");
    h.addLine("no colon here\r\n");
    h.addLine(": nameless\r\n");
    h.addLine("Empty:\r\n");
    ASSERT_EQ(h.fields().size(), 2u);
    EXPECT_EQ(h.get("x-long"), "first second");
    EXPECT_EQ(h.get("empty"), "");
}

TEST(AuthChallenges, SplitsSeveralChallengesInOneValue) {
    const auto c = parseAuthChallenges(
        "Basic realm=\"Files, and more\", Digest realm=\"dig@test\", qop=\"auth,auth-int\", "
        "nonce=\"abc\", NTLM");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].scheme, "Basic");
    EXPECT_EQ(c[0].realm, "Files, and more");
    EXPECT_EQ(c[1].scheme, "Digest");
    EXPECT_EQ(c[1].realm, "dig@test");
    EXPECT_EQ(c[2].scheme, "NTLM");
    EXPECT_EQ(c[2].realm, "");
}

TEST(AuthChallenges, ReadsTokensEscapesAndBlobs) {
    const auto c = parseAuthChallenges("Negotiate YIIBhgYGKwYBBQUCoIIBejCC==, Basic REALM=plain");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].scheme, "Negotiate");
    EXPECT_EQ(c[1].realm, "plain");

    const auto e = parseAuthChallenges(R"(Basic realm="say \"hi\"")");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].realm, "say \"hi\"");

    EXPECT_TRUE(parseAuthChallenges("").empty());
    EXPECT_TRUE(parseAuthChallenges("  ,  ").empty());
}

}  // namespace
}  // namespace nv::inet
