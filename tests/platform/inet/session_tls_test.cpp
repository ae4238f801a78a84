#include "platform/inet/internet_session.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/inet/internet_options.h"
#include "platform/inet/system_error.h"
#include "platform/inet/test_hooks.h"
#include "tests/support/http_servers.h"
#include "tests/support/temp_dir.h"

namespace nv::inet {
namespace {

using nv::test::HttpServerRunner;

// Certificates made once for the suite with the openssl tool: a throwaway authority and
// server certificates it signed (good, wrong name, expired), plus a self-signed one.
class TlsSessionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new nv::test::TempDir("inet-tls");
        const std::string d = dir_->path();
        const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
        auto run = [](const std::string& cmd) {
            return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0;
        };
        ready_ = run("openssl req -x509 " + ec + "-keyout " + d + "ca.key -out " + d +
                     "ca.pem -days 2 -subj /CN=Throwaway-Test-CA "
                     "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=keyCertSign") &&
                 run("openssl req -x509 " + ec + "-keyout " + d + "self.key -out " + d +
                     "self.pem -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1");
        auto signedCert = [&](const std::string& name, const std::string& san,
                              const std::string& days) {
            nv::test::writeFile(d + name + ".ext", "subjectAltName=" + san + "\n");
            return run("openssl req -new " + ec + "-keyout " + d + name + ".key -out " + d + name +
                       ".csr -subj /CN=" + name) &&
                   run("openssl x509 -req -in " + d + name + ".csr -CA " + d + "ca.pem -CAkey " +
                       d + "ca.key -CAcreateserial -days " + days + " -extfile " + d + name +
                       ".ext -out " + d + name + ".pem");
        };
        ready_ = ready_ && signedCert("good", "IP:127.0.0.1,DNS:localhost,DNS:service.test", "2") &&
                 signedCert("wrongname", "DNS:wrong.example", "2") &&
                 signedCert("expired", "IP:127.0.0.1", "-1");
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(ready_) << "openssl could not make the test certificates";
        saved_ = processTimeouts();
        setProcessTimeouts({5000, 5000, 5000});
    }
    void TearDown() override {
        setTrustedCaFileForTests("");
        setProcessTimeouts(saved_);
    }

    static std::unique_ptr<HttpServerRunner> serve(const std::string& name) {
        const std::string d = dir_->path();
        auto svr = std::make_unique<httplib::SSLServer>((d + name + ".pem").c_str(),
                                                        (d + name + ".key").c_str());
        svr->Get("/hello", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("secure hello", "text/plain");
        });
        return std::make_unique<HttpServerRunner>(std::move(svr));
    }

    static HttpRequest get(const std::string& url) {
        HttpRequest r;
        r.url = url;
        return r;
    }

    static std::string caFile() { return dir_->file("ca.pem"); }

    // Made after the server in each test, so that it (and its kept connection) goes first:
    // the server's shutdown would otherwise wait out its keep-alive time.
    static InternetSession directSession() { return {"Norvale", ProxyConfig::direct()}; }

  private:
    static inline nv::test::TempDir* dir_ = nullptr;
    static inline bool ready_ = false;
    Timeouts saved_;
};

TEST_F(TlsSessionTest, SelfSignedCertificateIsAnInvalidAuthority) {
    auto server = serve("self");
    InternetSession session = directSession();
    const HttpResponse r = session.send(get(server->url("/hello")));
    EXPECT_EQ(r.error, kErrorInvalidCertAuthority) << r.errorDetail;
    EXPECT_FALSE(r.received);
}

TEST_F(TlsSessionTest, UnknownAuthorityUntilTrusted) {
    auto server = serve("good");
    InternetSession session = directSession();
    EXPECT_EQ(session.send(get(server->url("/hello"))).error, kErrorInvalidCertAuthority);

    setTrustedCaFileForTests(caFile());
    const HttpResponse r = session.send(get(server->url("/hello")));
    ASSERT_EQ(r.error, 0u) << r.errorDetail;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "secure hello");
}

TEST_F(TlsSessionTest, HostNameMismatch) {
    setTrustedCaFileForTests(caFile());
    auto server = serve("wrongname");
    InternetSession session = directSession();
    const HttpResponse r = session.send(get(server->url("/hello")));
    EXPECT_EQ(r.error, kErrorCertNameInvalid) << r.errorDetail;
}

TEST_F(TlsSessionTest, ExpiredCertificate) {
    setTrustedCaFileForTests(caFile());
    auto server = serve("expired");
    InternetSession session = directSession();
    const HttpResponse r = session.send(get(server->url("/hello")));
    EXPECT_EQ(r.error, kErrorCertDateInvalid) << r.errorDetail;
}

TEST_F(TlsSessionTest, PlainHttpToATlsPortIsNoValidResponse) {
    auto server = serve("good");
    InternetSession session = directSession();
    const HttpResponse r =
        session.send(get("http://127.0.0.1:" + std::to_string(server->port()) + "/hello"));
    EXPECT_NE(r.error, 0u);
    EXPECT_NE(r.status, 200);
}

TEST_F(TlsSessionTest, TunnelThroughAProxyAndItsRefusal) {
    setTrustedCaFileForTests(caFile());
    auto server = serve("good");
    const std::string url = "https://service.test:" + std::to_string(server->port()) + "/hello";

    nv::test::ForwardProxy open;
    InternetSession tunnelled("Norvale", ProxyConfig::fixed(open.address()));
    const HttpResponse ok = tunnelled.send(get(url));
    ASSERT_EQ(ok.error, 0u) << ok.errorDetail;
    EXPECT_EQ(ok.body, "secure hello");
    ASSERT_EQ(open.requests(), 1);
    EXPECT_EQ(open.requestLines()[0].rfind("CONNECT service.test:", 0), 0u);

    // A refused tunnel comes back as the proxy's answer, so the engine can ask for credentials.
    nv::test::ForwardProxy guarded(std::string("pu:pp"));
    InternetSession refused("Norvale", ProxyConfig::fixed(guarded.address()));
    const HttpResponse challenged = refused.send(get(url));
    EXPECT_EQ(challenged.error, 0u) << challenged.errorDetail;
    EXPECT_EQ(challenged.status, 407);
    EXPECT_EQ(challenged.headers.get("Proxy-Authenticate"), "Basic realm=\"test proxy\"");
}

}  // namespace
}  // namespace nv::inet
