#include "platform/inet/proxy_script.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nv::inet {
namespace {

std::unique_ptr<ProxyScript> compileOrFail(const std::string& source,
                                           std::uint32_t limitMs = 1000) {
    std::string error;
    auto script = ProxyScript::compile(source, limitMs, &error);
    EXPECT_TRUE(script) << error;
    return script;
}

// Evaluates `expression` inside FindProxyForURL for the given URL and host.
std::string eval(const std::string& expression, const std::string& url = "http://h.test/",
                 const std::string& host = "h.test") {
    auto script =
        compileOrFail("function FindProxyForURL(url, host) { return String(" + expression + "); }");
    if (!script)
        return "<no script>";
    std::string error;
    const auto answer = script->findProxyForUrl(url, host, &error);
    return answer ? *answer : "<error: " + error + ">";
}

TEST(ProxyScript, AnswersPerHost) {
    auto script = compileOrFail(R"(
        function FindProxyForURL(url, host) {
            if (isPlainHostName(host) || dnsDomainIs(host, ".local.test")) return "DIRECT";
            if (shExpMatch(url, "https://*")) return "PROXY secure.test:8443";
            return "PROXY proxy.test:3128; DIRECT";
        })");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->findProxyForUrl("http://intranet/", "intranet"), "DIRECT");
    EXPECT_EQ(script->findProxyForUrl("http://a.local.test/", "a.local.test"), "DIRECT");
    EXPECT_EQ(script->findProxyForUrl("https://x.test/", "x.test"), "PROXY secure.test:8443");
    EXPECT_EQ(script->findProxyForUrl("http://x.test/p", "x.test"),
              "PROXY proxy.test:3128; DIRECT");
}

TEST(ProxyScript, KeepsGlobalStateBetweenCalls) {
    auto script = compileOrFail(
        "var n = 0; function FindProxyForURL(u, h) { n++; return 'PROXY p' + n + '.test'; }");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->findProxyForUrl("http://a/", "a"), "PROXY p1.test");
    EXPECT_EQ(script->findProxyForUrl("http://a/", "a"), "PROXY p2.test");
}

TEST(ProxyScriptHelpers, NameHelpers) {
    EXPECT_EQ(eval("isPlainHostName('www')"), "true");
    EXPECT_EQ(eval("isPlainHostName('www.test')"), "false");
    EXPECT_EQ(eval("dnsDomainIs('www.Corp.test', '.corp.test')"), "true");
    EXPECT_EQ(eval("dnsDomainIs('www.other.test', '.corp.test')"), "false");
    EXPECT_EQ(eval("localHostOrDomainIs('www', 'www.corp.test')"), "true");
    EXPECT_EQ(eval("localHostOrDomainIs('www.corp.test', 'www.corp.test')"), "true");
    EXPECT_EQ(eval("localHostOrDomainIs('www.other.test', 'www.corp.test')"), "false");
    EXPECT_EQ(eval("dnsDomainLevels('a.b.c')"), "2");
    EXPECT_EQ(eval("dnsDomainLevels('www')"), "0");
    EXPECT_EQ(eval("shExpMatch('http://x.test/a/b.wsdl', '*/a/*.wsdl')"), "true");
    EXPECT_EQ(eval("shExpMatch('x.test', 'x?test')"), "true");
    EXPECT_EQ(eval("shExpMatch('x(test)', 'x(test)')"), "true");
    EXPECT_EQ(eval("shExpMatch('xtest', 'x.test')"), "false");
}

TEST(ProxyScriptHelpers, AddressHelpers) {
    EXPECT_EQ(eval("dnsResolve('localhost')"), "127.0.0.1");
    EXPECT_EQ(eval("dnsResolve('nonexistent.invalid')"), "null");
    EXPECT_EQ(eval("isResolvable('localhost')"), "true");
    EXPECT_EQ(eval("isResolvable('nonexistent.invalid')"), "false");
    EXPECT_EQ(eval("isInNet('127.1.2.3', '127.0.0.0', '255.0.0.0')"), "true");
    EXPECT_EQ(eval("isInNet('localhost', '127.0.0.0', '255.255.255.0')"), "true");
    EXPECT_EQ(eval("isInNet('10.0.0.1', '127.0.0.0', '255.0.0.0')"), "false");
    EXPECT_EQ(eval("isInNet('200.1.1.1', '200.1.0.0', '255.255.0.0')"), "true");
    EXPECT_EQ(eval("isInNet('nonexistent.invalid', '0.0.0.0', '0.0.0.0')"), "false");
    EXPECT_EQ(eval("/^\\d+\\.\\d+\\.\\d+\\.\\d+$/.test(myIpAddress())"), "true");
    EXPECT_EQ(eval("typeof alert('ignored')"), "undefined");
}

TEST(ProxyScriptHelpers, DateAndTimeRanges) {
    // Compared with the script's own clock so that the checks hold on any day.
    const std::string today = "['SUN','MON','TUE','WED','THU','FRI','SAT'][new Date().getDay()]";
    const std::string month =
        "['JAN','FEB','MAR','APR','MAY','JUN','JUL','AUG','SEP','OCT','NOV','DEC']"
        "[new Date().getMonth()]";
    EXPECT_EQ(eval("weekdayRange(" + today + ")"), "true");
    EXPECT_EQ(eval("weekdayRange('SUN', 'SAT')"), "true");
    EXPECT_EQ(eval("weekdayRange(" + today + ", " + today + ", 'GMT') || true"), "true");
    EXPECT_EQ(eval("weekdayRange('NOPE')"), "false");
    EXPECT_EQ(eval("dateRange(" + month + ")"), "true");
    EXPECT_EQ(eval("dateRange(new Date().getDate())"), "true");
    EXPECT_EQ(eval("dateRange(1, 31)"), "true");
    EXPECT_EQ(eval("dateRange('JAN', 'DEC')"), "true");
    EXPECT_EQ(eval("dateRange(new Date().getFullYear())"), "true");
    EXPECT_EQ(eval("dateRange(new Date().getFullYear() + 1)"), "false");
    EXPECT_EQ(eval("dateRange(1, 'JAN', 1990, 31, 'DEC', 2999)"), "true");
    EXPECT_EQ(eval("dateRange('JAN', 1990, 'DEC', 1999)"), "false");
    EXPECT_EQ(eval("timeRange(0, 24)"), "true");
    EXPECT_EQ(eval("timeRange(new Date().getHours())"), "true");
    EXPECT_EQ(eval("timeRange(0, 0, 0, 23, 59, 60)"), "true");
    EXPECT_EQ(eval("timeRange(1, 2, 3)"), "false");
}

TEST(ProxyScript, CompileFailuresSayWhy) {
    std::string error;
    EXPECT_FALSE(ProxyScript::compile("function FindProxyForURL(u, h) { return", 1000, &error));
    EXPECT_NE(error.find("SyntaxError"), std::string::npos) << error;
    EXPECT_FALSE(ProxyScript::compile("var x = 1;", 1000, &error));
    EXPECT_NE(error.find("FindProxyForURL"), std::string::npos) << error;
    EXPECT_FALSE(ProxyScript::compile("throw new Error('boom');", 1000, &error));
    EXPECT_NE(error.find("boom"), std::string::npos) << error;
}

TEST(ProxyScript, RuntimeFailuresReturnNothing) {
    auto thrower = compileOrFail("function FindProxyForURL(u, h) { throw 'nope'; }");
    ASSERT_TRUE(thrower);
    std::string error;
    EXPECT_FALSE(thrower->findProxyForUrl("http://a/", "a", &error));
    EXPECT_EQ(error, "nope");

    auto number = compileOrFail("function FindProxyForURL(u, h) { return 42; }");
    ASSERT_TRUE(number);
    EXPECT_FALSE(number->findProxyForUrl("http://a/", "a"));
}

TEST(ProxyScript, EndlessLoopsAreCutOff) {
    using Clock = std::chrono::steady_clock;
    // Even a loop that catches the timeout error cannot keep running.
    auto script = compileOrFail(
        "function FindProxyForURL(u, h) {"
        "  if (h === 'ok') return 'DIRECT';"
        "  for (;;) { try { for (;;) {} } catch (e) {} } }",
        200);
    ASSERT_TRUE(script);
    const auto start = Clock::now();
    std::string error;
    EXPECT_FALSE(script->findProxyForUrl("http://a/", "a", &error));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    // A timeout error, or a double error when the catch block itself runs out of time.
    EXPECT_FALSE(error.empty());
    // The interpreter is still usable afterwards.
    EXPECT_EQ(script->findProxyForUrl("http://ok/", "ok"), "DIRECT");

    const auto compileStart = Clock::now();
    EXPECT_FALSE(ProxyScript::compile("while (true) {}", 200, &error));
    EXPECT_LT(Clock::now() - compileStart, std::chrono::seconds(3));
}

TEST(ProxyScript, LoopsOfCostlyBuiltinsAreCutOffToo) {
    auto script = compileOrFail(
        "function FindProxyForURL(u, h) {"
        "  var a = []; for (;;) a.push(new Array(1e5).join('x')); }",
        300);
    ASSERT_TRUE(script);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(script->findProxyForUrl("http://a/", "a"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(ProxyScript, RunawayMemoryFailsInsteadOfGrowing) {
    auto script =
        compileOrFail("function FindProxyForURL(u, h) { var s = 'x'; for (;;) s = s + s; }", 5000);
    ASSERT_TRUE(script);
    std::string error;
    EXPECT_FALSE(script->findProxyForUrl("http://a/", "a", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace nv::inet
