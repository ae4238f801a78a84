#include <gtest/gtest.h>

#include "platform/inet/proxy_bypass.h"
#include "platform/inet/proxy_choice.h"

namespace nv::inet {
namespace {

TEST(ProxyBypass, LocalMeansLoopbackAndDotlessNames) {
    for (const char* host : {"localhost", "LocalHost", "127.0.0.1", "127.200.3.4", "::1",
                             "0:0:0:0:0:0:0:1", "intranet", "printer-3"}) {
        SCOPED_TRACE(host);
        EXPECT_TRUE(bypassesProxy("<local>", "http", host, 80));
    }
    for (const char* host :
         {"service.test", "128.0.0.1", "10.0.0.1", "::2", "fe80::1", "localhost.example.com"}) {
        SCOPED_TRACE(host);
        EXPECT_FALSE(bypassesProxy("<local>", "http", host, 80));
    }
}

TEST(ProxyBypass, PatternsWithWildcardsPortsAndSchemes) {
    const char* list = "*.corp.test; 10.*, build?.test  https://secure.test <LOCAL>";
    EXPECT_TRUE(bypassesProxy(list, "http", "a.corp.test", 80));
    EXPECT_TRUE(bypassesProxy(list, "http", "A.B.CORP.TEST", 80));
    EXPECT_FALSE(bypassesProxy(list, "http", "corp.test", 80));
    EXPECT_TRUE(bypassesProxy(list, "http", "10.1.2.3", 80));
    EXPECT_TRUE(bypassesProxy(list, "http", "build7.test", 80));
    EXPECT_FALSE(bypassesProxy(list, "http", "build17.test", 80));
    EXPECT_TRUE(bypassesProxy(list, "https", "secure.test", 443));
    EXPECT_FALSE(bypassesProxy(list, "http", "secure.test", 80));
    EXPECT_TRUE(bypassesProxy(list, "http", "intranet", 80));

    EXPECT_TRUE(bypassesProxy("svc.test:8080", "http", "svc.test", 8080));
    EXPECT_FALSE(bypassesProxy("svc.test:8080", "http", "svc.test", 80));
    EXPECT_FALSE(bypassesProxy("", "http", "localhost", 80));
}

TEST(WildcardMatch, BacktracksWithoutBlowingUp) {
    EXPECT_TRUE(wildcardMatch("abcabcabd", "*abd"));
    EXPECT_TRUE(wildcardMatch("", "*"));
    EXPECT_FALSE(wildcardMatch("", "?"));
    EXPECT_TRUE(wildcardMatch("a.b", "a?b"));
    EXPECT_FALSE(wildcardMatch(std::string(2000, 'a'), std::string(50, '*') + "b"));
}

TEST(ProxyAnswer, ReadsEntriesInOrderAndSkipsUnusable) {
    const auto c = parseProxyAnswer(
        " PROXY proxy.test:3128; http h2.test ;BOGUS x:1; PROXY ;HTTPS s.test; SOCKS "
        "s4.test:1081; SOCKS5 [::1]:1082; DIRECT");
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[0], (ProxyChoice{ProxyChoice::Kind::Http, "proxy.test:3128"}));
    EXPECT_EQ(c[1].curlProxy(), "http://h2.test:80");
    EXPECT_EQ(c[2].curlProxy(), "https://s.test:443");
    EXPECT_EQ(c[3].curlProxy(), "socks4a://s4.test:1081");
    EXPECT_EQ(c[4].curlProxy(), "socks5h://[::1]:1082");
    EXPECT_EQ(c[5].kind, ProxyChoice::Kind::Direct);
    EXPECT_EQ(c[5].curlProxy(), "");

    EXPECT_TRUE(parseProxyAnswer("").empty());
    EXPECT_TRUE(parseProxyAnswer("PROXY a:b:c; PROXY :80").empty());
}

TEST(FixedProxy, OneServerForAllOrOnePerScheme) {
    EXPECT_EQ(fixedProxyFor("proxy.test", "http")->curlProxy(), "http://proxy.test:80");
    EXPECT_EQ(fixedProxyFor("proxy.test:8080", "https")->curlProxy(), "http://proxy.test:8080");
    EXPECT_EQ(fixedProxyFor("http://proxy.test:3128/", "http")->curlProxy(),
              "http://proxy.test:3128");

    const char* perScheme = "http=p1.test:81;https=p2.test:82 socks=s.test";
    EXPECT_EQ(fixedProxyFor(perScheme, "http")->hostPort, "p1.test:81");
    EXPECT_EQ(fixedProxyFor(perScheme, "https")->hostPort, "p2.test:82");
    EXPECT_EQ(fixedProxyFor("http=p1.test:81 fallback.test:9", "https")->hostPort,
              "fallback.test:9");
    EXPECT_EQ(fixedProxyFor("http=p1.test socks=s.test", "https")->curlProxy(),
              "socks4a://s.test:1080");
    EXPECT_FALSE(fixedProxyFor("http=p1.test:81", "https"));
    EXPECT_FALSE(fixedProxyFor("", "http"));
    EXPECT_FALSE(fixedProxyFor("ftp://p.test", "http"));
}

}  // namespace
}  // namespace nv::inet
