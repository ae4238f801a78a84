#include "platform/inet/internet_session.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/inet/internet_options.h"
#include "platform/inet/system_error.h"
#include "tests/support/http_servers.h"
#include "tests/support/temp_dir.h"

namespace nv::inet {
namespace {

using nv::test::ForwardProxy;
using nv::test::HttpServerRunner;

// An origin server that names the host it was asked for, and a counter of script fetches.
class ProxySessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = processTimeouts();
        setProcessTimeouts({5000, 5000, 5000});
        auto svr = std::make_unique<httplib::Server>();
        svr->Get("/who", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("host=" + req.get_header_value("Host"), "text/plain");
        });
        svr->Post("/who", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("posted " + req.body, "text/plain");
        });
        svr->Get("/proxy.pac", [this](const httplib::Request&, httplib::Response& res) {
            ++scriptFetches_;
            res.set_content(script_, "application/x-ns-proxy-autoconfig");
        });
        origin_ = std::make_unique<HttpServerRunner>(std::move(svr));
    }
    void TearDown() override { setProcessTimeouts(saved_); }

    // The origin under a dotted name only the proxy knows how to reach.
    std::string viaName(const std::string& path) const {
        return "http://service.test:" + std::to_string(origin_->port()) + path;
    }
    std::string direct(const std::string& path) const { return origin_->url(path); }

    static HttpRequest get(const std::string& url) {
        HttpRequest r;
        r.url = url;
        return r;
    }

    ProxyConfig autoConfig(const std::string& script) {
        script_ = script;
        ProxyConfig c = ProxyConfig::autoConfig(direct("/proxy.pac"));
        c.scriptTimeLimitMs = 200;
        return c;
    }

    std::string script_;
    std::atomic<int> scriptFetches_{0};
    std::unique_ptr<HttpServerRunner> origin_;

  private:
    Timeouts saved_;
};

TEST_F(ProxySessionTest, FixedProxyCarriesDottedNamesAndLocalGoesDirect) {
    ForwardProxy proxy;
    InternetSession session("Norvale", ProxyConfig::fixed(proxy.address()));

    const HttpResponse proxied = session.send(get(viaName("/who?a=1")));
    ASSERT_EQ(proxied.error, 0u) << proxied.errorDetail;
    EXPECT_EQ(proxied.body, "host=service.test:" + std::to_string(origin_->port()));
    EXPECT_EQ(proxied.proxy, "http://" + proxy.address());
    ASSERT_EQ(proxy.requests(), 1);
    EXPECT_EQ(proxy.requestLines()[0], "GET " + viaName("/who?a=1") + " HTTP/1.1");

    HttpRequest post;
    post.method = "POST";
    post.url = viaName("/who");
    post.body = "<x/>";
    EXPECT_EQ(session.send(post).body, "posted <x/>");
    EXPECT_EQ(proxy.requests(), 2);

    const HttpResponse local = session.send(get(direct("/who")));
    ASSERT_EQ(local.error, 0u);
    EXPECT_EQ(local.proxy, "");
    EXPECT_EQ(proxy.requests(), 2);
}

TEST_F(ProxySessionTest, BypassListDecidesWhatSkipsTheProxy) {
    ForwardProxy proxy;
    // Nothing bypassed: even the loopback address goes through the proxy.
    InternetSession all("Norvale", ProxyConfig::fixed(proxy.address(), ""));
    EXPECT_EQ(all.send(get(direct("/who"))).status, 200);
    EXPECT_EQ(proxy.requests(), 1);

    // "*.test" bypassed: the name is then looked up directly, which cannot work.
    InternetSession some("Norvale", ProxyConfig::fixed(proxy.address(), "*.test"));
    EXPECT_EQ(some.send(get(viaName("/who"))).error, kErrorNameNotResolved);
    EXPECT_EQ(proxy.requests(), 1);
}

TEST_F(ProxySessionTest, ProxyAuthenticationBasic) {
    ForwardProxy proxy(std::string("pu:pp"));
    InternetSession anonymous("Norvale", ProxyConfig::fixed(proxy.address()));
    const HttpResponse challenged = anonymous.send(get(viaName("/who")));
    ASSERT_EQ(challenged.error, 0u);
    EXPECT_EQ(challenged.status, 407);
    EXPECT_EQ(challenged.headers.get("proxy-authenticate"), "Basic realm=\"test proxy\"");

    ProxyConfig withUser = ProxyConfig::fixed(proxy.address());
    withUser.user = "pu";
    withUser.password = "pp";
    InternetSession session("Norvale", withUser);
    const HttpResponse ok = session.send(get(viaName("/who")));
    ASSERT_EQ(ok.error, 0u);
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(proxy.authorizations().back(), "Basic " + nv::test::base64("pu:pp"));
}

TEST_F(ProxySessionTest, UnreachableProxy) {
    nv::test::RefusedPort refused;
    InternetSession session("Norvale",
                            ProxyConfig::fixed("127.0.0.1:" + std::to_string(refused.port())));
    const HttpResponse r = session.send(get(viaName("/who")));
    EXPECT_EQ(r.error, kErrorCannotConnect);
    EXPECT_FALSE(r.received);
}

TEST_F(ProxySessionTest, SystemModeFollowsTheEnvironment) {
    ForwardProxy proxy;
    nv::test::ScopedEnv httpProxy("http_proxy", "http://" + proxy.address());
    nv::test::ScopedEnv noProxy("no_proxy", std::string("127.0.0.1,localhost"));
    nv::test::ScopedEnv upperNoProxy("NO_PROXY", std::nullopt);
    nv::test::ScopedEnv allProxy("all_proxy", std::nullopt);
    nv::test::ScopedEnv upperAllProxy("ALL_PROXY", std::nullopt);
    InternetSession session("Norvale", ProxyConfig::system());
    EXPECT_EQ(session.send(get(viaName("/who"))).status, 200);
    EXPECT_EQ(proxy.requests(), 1);
    EXPECT_EQ(session.send(get(direct("/who"))).status, 200);
    EXPECT_EQ(proxy.requests(), 1);

    // Direct mode ignores the same environment.
    InternetSession directSession("Norvale", ProxyConfig::direct());
    EXPECT_EQ(directSession.send(get(viaName("/who"))).error, kErrorNameNotResolved);
    EXPECT_EQ(proxy.requests(), 1);
}

TEST_F(ProxySessionTest, ScriptChoosesProxyPerHost) {
    ForwardProxy proxy;
    InternetSession session(
        "Norvale", autoConfig("function FindProxyForURL(url, host) {\n"
                              "  if (dnsDomainIs(host, '.test') && shExpMatch(url, '*/who*'))\n"
                              "    return 'PROXY " +
                              proxy.address() +
                              "';\n"
                              "  return 'DIRECT';\n}\n"));
    const HttpResponse proxied = session.send(get(viaName("/who")));
    ASSERT_EQ(proxied.error, 0u) << proxied.errorDetail;
    EXPECT_EQ(proxied.proxyScriptError, 0u);
    EXPECT_EQ(proxied.proxy, "http://" + proxy.address());
    EXPECT_EQ(proxy.requests(), 1);

    const HttpResponse local = session.send(get(direct("/who")));
    ASSERT_EQ(local.error, 0u);
    EXPECT_EQ(local.proxy, "");
    EXPECT_EQ(proxy.requests(), 1);
    // Fetched once per session, and not through any proxy.
    EXPECT_EQ(scriptFetches_.load(), 1);

    session.close();
    EXPECT_EQ(session.send(get(direct("/who"))).status, 200);
    EXPECT_EQ(scriptFetches_.load(), 2);
}

TEST_F(ProxySessionTest, ScriptFallsBackToTheNextProxyWhenOneIsDown) {
    ForwardProxy proxy;
    nv::test::RefusedPort refused;
    InternetSession session("Norvale", autoConfig("function FindProxyForURL(url, host) {\n"
                                                  "  return 'PROXY 127.0.0.1:" +
                                                  std::to_string(refused.port()) + "; PROXY " +
                                                  proxy.address() + "; DIRECT';\n}\n"));
    const HttpResponse r = session.send(get(viaName("/who")));
    ASSERT_EQ(r.error, 0u) << r.errorDetail;
    EXPECT_EQ(r.proxy, "http://" + proxy.address());
    EXPECT_EQ(proxy.requests(), 1);
}

TEST_F(ProxySessionTest, BrokenScriptGoesDirect) {
    InternetSession syntax("Norvale", autoConfig("function FindProxyForURL(url, host) { return"));
    const HttpResponse r = syntax.send(get(direct("/who")));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.proxyScriptError, kErrorProxyScript);

    InternetSession throwing("Norvale",
                             autoConfig("function FindProxyForURL(url, host) { throw 1; }"));
    const HttpResponse t = throwing.send(get(direct("/who")));
    EXPECT_EQ(t.status, 200);
    EXPECT_EQ(t.proxyScriptError, kErrorProxyScript);

    InternetSession junkAnswer("Norvale",
                               autoConfig("function FindProxyForURL(u, h) { return 'WHATEVER'; }"));
    const HttpResponse j = junkAnswer.send(get(direct("/who")));
    EXPECT_EQ(j.status, 200);
    EXPECT_EQ(j.proxy, "");
}

TEST_F(ProxySessionTest, EndlessScriptIsBounded) {
    InternetSession session("Norvale",
                            autoConfig("function FindProxyForURL(url, host) { for (;;) {} }"));
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse r = session.send(get(direct("/who")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.proxyScriptError, kErrorProxyScript);
}

TEST_F(ProxySessionTest, MissingScriptGoesDirect) {
    ProxyConfig c = ProxyConfig::autoConfig(direct("/no-such.pac"));
    InternetSession session("Norvale", c);
    const HttpResponse r = session.send(get(direct("/who")));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.proxyScriptError, kErrorProxyScriptDownload);
}

TEST_F(ProxySessionTest, ScriptFromALocalFile) {
    ForwardProxy proxy;
    nv::test::TempDir dir("inet-pac");
    ASSERT_TRUE(nv::test::writeFile(
        dir.file("local.pac"),
        "function FindProxyForURL(u, h) { return 'PROXY " + proxy.address() + "'; }"));
    InternetSession session("Norvale", ProxyConfig::autoConfig("file://" + dir.file("local.pac")));
    const HttpResponse r = session.send(get(viaName("/who")));
    ASSERT_EQ(r.error, 0u) << r.errorDetail;
    EXPECT_EQ(r.proxyScriptError, 0u);
    EXPECT_EQ(proxy.requests(), 1);
}

}  // namespace
}  // namespace nv::inet
