// The Internet options and the working directory as the engine reads them from the registry.
#include <gtest/gtest.h>

#include "engine/api/engine_settings.h"
#include "engine/crypto/password_scrambler.h"
#include "platform/inet/internet_options.h"
#include "platform/registry/registry.h"
#include "tests/support/registry_sandbox.h"

using namespace wscore;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;
using nv::registry::ValueType;

namespace {

class EngineSettings : public ::testing::Test {
  protected:
    Key internet() {
        Key k;
        EXPECT_EQ(Key::create(Hive::CurrentUser, kInternetKey, k), Status::Ok);
        return k;
    }
    nv::test::RegistrySandbox sandbox;
};

TEST_F(EngineSettings, MissingKeyLeavesTheDefaults) {
    InternetSettings s;
    s.useProxy = 1;
    s.proxyServer = u"stale";
    readInternetSettings(s);
    EXPECT_EQ(s.useProxy, 0u);
    EXPECT_EQ(s.internetConnection, 1u);
    EXPECT_EQ(s.useAutoConfigUrl, 0u);
    EXPECT_EQ(s.connectTimeout, 0u);
    EXPECT_TRUE(s.proxyServer.empty());
}

TEST_F(EngineSettings, ProxyValuesAreReadAndThePasswordUnscrambled) {
    Key k = internet();
    k.setDword(u"UseProxy", 1);
    k.setDword(u"ConnectTimeout", 12);
    k.setDword(u"ResponseTimeout", 34);
    k.setDword(u"InternetConnection", 0);
    k.setString(u"ProxyServer", u"proxy.local");
    k.setString(u"ProxyPort", u"3128");
    k.setString(u"ProxyUsername", u"alice");
    k.setString(u"ProxyPassword", scramblePassword(u"proxy.local", u"s3cret"));
    InternetSettings s;
    readInternetSettings(s);
    EXPECT_EQ(s.useProxy, 1u);
    EXPECT_EQ(s.connectTimeout, 12u);
    EXPECT_EQ(s.responseTimeout, 34u);
    EXPECT_EQ(s.internetConnection, 0u);
    EXPECT_EQ(s.proxyUsername, u"alice");
    EXPECT_EQ(s.proxyPassword, u"s3cret");
    EXPECT_EQ(s.proxyString(), u"proxy.local:3128");

    k.setString(u"ProxyPort", u"");
    readInternetSettings(s);
    EXPECT_EQ(s.proxyString(), u"proxy.local");  // no ":" without a port
}

TEST_F(EngineSettings, ProxyStringsAreEmptiedWhenTheProxyIsOff) {
    Key k = internet();
    k.setDword(u"UseProxy", 1);
    k.setString(u"ProxyServer", u"proxy.local");
    InternetSettings s;
    readInternetSettings(s);
    EXPECT_EQ(s.proxyServer, u"proxy.local");
    k.setDword(u"UseProxy", 0);
    readInternetSettings(s);
    EXPECT_TRUE(s.proxyServer.empty());
}

TEST_F(EngineSettings, FixedProxyAndAutoConfigurationAreBothRead) {
    Key k = internet();
    k.setDword(u"UseProxy", 1);
    k.setDword(u"UseAutoConfigURL", 1);
    k.setString(u"ProxyServer", u"p");
    k.setString(u"AutoConfigURL", u"http://127.0.0.1/proxy.pac");
    InternetSettings s;
    readInternetSettings(s);
    EXPECT_EQ(s.useProxy, 1u);
    EXPECT_EQ(s.autoConfigUrl, u"http://127.0.0.1/proxy.pac");
}

TEST_F(EngineSettings, BadValuesKeepWhatTheConnectionHad) {
    Key k = internet();
    k.setDword(u"UseProxy", 1);
    k.setString(u"ProxyServer", u"good");
    k.setString(u"ProxyPort", u"8080");
    InternetSettings s;
    readInternetSettings(s);
    ASSERT_EQ(s.proxyServer, u"good");

    k.setString(u"ProxyServer", std::u16string(256, u'x'));  // over 255 characters
    k.setDword(u"ProxyPort", 8081);                          // wrong type
    k.set(u"ProxyUsername", ValueType::String, u"ab", 4);    // not NUL-terminated
    k.setString(u"ConnectTimeout", u"30");                   // wrong type for a DWORD
    s.proxyUsername = u"kept";
    s.connectTimeout = 7;
    readInternetSettings(s);
    EXPECT_EQ(s.proxyServer, u"good");
    EXPECT_EQ(s.proxyPort, u"8080");
    EXPECT_EQ(s.proxyUsername, u"kept");
    EXPECT_EQ(s.connectTimeout, 7u);

    // Exactly at the limit is fine; an expandable string counts as a string.
    k.setExpandString(u"ProxyServer", std::u16string(255, u'y'));
    k.setString(u"ProxyPort", u"65535");
    readInternetSettings(s);
    EXPECT_EQ(s.proxyServer, std::u16string(255, u'y'));
    EXPECT_EQ(s.proxyPort, u"65535");
    k.setString(u"ProxyPort", u"123456");
    readInternetSettings(s);
    EXPECT_EQ(s.proxyPort, u"65535");
}

TEST_F(EngineSettings, MissingDwordsFallBackToTheirDefaults) {
    Key k = internet();
    k.setDword(u"InternetConnection", 0);
    InternetSettings s;
    readInternetSettings(s);
    EXPECT_EQ(s.internetConnection, 0u);
    k.deleteValue(u"InternetConnection");
    readInternetSettings(s);
    EXPECT_EQ(s.internetConnection, 1u);
}

TEST_F(EngineSettings, WorkingDirectory) {
    EXPECT_EQ(readWorkingDirectorySetting(), u"");
    Key k;
    ASSERT_EQ(Key::create(Hive::CurrentUser, kSondarKey, k), Status::Ok);
    EXPECT_EQ(readWorkingDirectorySetting(), u"");
    k.setString(u"Working Directory", u"/home/u/data/");
    EXPECT_EQ(readWorkingDirectorySetting(), u"/home/u/data/");
    k.setString(u"Working Directory", std::u16string(512, u'd'));
    EXPECT_EQ(readWorkingDirectorySetting(), u"");
}

TEST(ProcessTimeouts, SecondsBecomeMillisecondsForTheWholeProcess) {
    applyProcessTimeouts(5, 20);
    nv::inet::Timeouts t = nv::inet::processTimeouts();
    EXPECT_EQ(t.connectMs, 5000u);
    EXPECT_EQ(t.sendMs, 20000u);
    EXPECT_EQ(t.receiveMs, 20000u);
    applyProcessTimeouts(0, 0);
    EXPECT_EQ(nv::inet::processTimeouts().connectMs, 0u);
    applyProcessTimeouts(0xFFFFFFFFu, 1);
    EXPECT_EQ(nv::inet::processTimeouts().connectMs, 0xFFFFFFFFu);  // saturates, never wraps
}

}  // namespace
