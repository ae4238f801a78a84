#include "engine/api/engine_settings.h"

#include <vector>

#include "engine/crypto/password_scrambler.h"
#include "platform/inet/internet_options.h"
#include "platform/registry/registry.h"

namespace wscore {

namespace {

using nv::registry::Access;
using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;
using nv::registry::ValueType;

void readDword(const Key& key, const char16_t* name, std::uint32_t fallback, std::uint32_t& out) {
    std::uint32_t value = 0;
    std::uint32_t size = sizeof value;
    ValueType type = ValueType::None;
    Status st = key.query(name, &type, &value, &size);
    if (st == Status::NotFound) {
        out = fallback;
        return;
    }
    if (st == Status::Ok && type == ValueType::Dword && size == sizeof value)
        out = value;
}

// Accepts a string value only when it is a (possibly expandable) string that fits `limit`
// characters plus its terminator and is NUL-terminated; otherwise `out` keeps its value.
bool readString(const Key& key, const char16_t* name, std::size_t limit, std::u16string& out) {
    std::vector<char16_t> buffer(limit + 1, u'\0');
    auto size = static_cast<std::uint32_t>(buffer.size() * sizeof(char16_t));
    ValueType type = ValueType::None;
    if (key.query(name, &type, buffer.data(), &size) != Status::Ok)
        return false;
    if (type != ValueType::String && type != ValueType::ExpandString)
        return false;
    if (size < sizeof(char16_t) || size % sizeof(char16_t) != 0)
        return false;
    std::size_t units = size / sizeof(char16_t);
    if (buffer[units - 1] != u'\0')
        return false;
    out.assign(buffer.data());  // up to the first NUL
    return true;
}

std::uint32_t secondsToMs(std::uint32_t seconds) {
    constexpr std::uint32_t kMax = 0xFFFFFFFFu / 1000u;
    return seconds > kMax ? 0xFFFFFFFFu : seconds * 1000u;
}

}  // namespace

std::u16string InternetSettings::proxyString() const {
    if (proxyPort.empty())
        return proxyServer;
    return proxyServer + u":" + proxyPort;
}

void readInternetSettings(InternetSettings& s) {
    Key key;
    if (Key::open(Hive::CurrentUser, kInternetKey, Access::Read, key) != Status::Ok) {
        s.useProxy = 0;
        s.connectTimeout = 0;
        s.responseTimeout = 0;
        s.internetConnection = 1;
        s.useAutoConfigUrl = 0;
        s.proxyServer.clear();
        s.proxyPort.clear();
        s.proxyUsername.clear();
        s.proxyPassword.clear();
        return;
    }
    readDword(key, u"UseProxy", 0, s.useProxy);
    readDword(key, u"ConnectTimeout", 0, s.connectTimeout);
    readDword(key, u"ResponseTimeout", 0, s.responseTimeout);
    readDword(key, u"InternetConnection", 1, s.internetConnection);
    readDword(key, u"UseAutoConfigURL", 0, s.useAutoConfigUrl);
    if (s.useProxy) {
        readString(key, u"ProxyServer", kProxyServerLimit, s.proxyServer);
        readString(key, u"ProxyPort", kProxyPortLimit, s.proxyPort);
        readString(key, u"ProxyUsername", kProxyUserLimit, s.proxyUsername);
        // Only a value actually read is unscrambled; otherwise the clear password stays.
        std::u16string stored;
        if (readString(key, u"ProxyPassword", kProxyPasswordLimit, stored))
            s.proxyPassword = unscramblePassword(s.proxyServer, stored);
    } else {
        s.proxyServer.clear();
        s.proxyPort.clear();
        s.proxyUsername.clear();
        s.proxyPassword.clear();
    }
    if (s.useAutoConfigUrl)
        readString(key, u"AutoConfigURL", kAutoConfigUrlLimit, s.autoConfigUrl);
}

std::u16string readWorkingDirectorySetting() {
    Key key;
    if (Key::open(Hive::CurrentUser, kSondarKey, Access::Read, key) != Status::Ok)
        return {};
    std::u16string dir;
    readString(key, u"Working Directory", kWorkingDirectoryLimit, dir);
    return dir;
}

void applyProcessTimeouts(std::uint32_t connectSeconds, std::uint32_t responseSeconds) {
    nv::inet::Timeouts t;
    t.connectMs = secondsToMs(connectSeconds);
    t.sendMs = secondsToMs(responseSeconds);
    t.receiveMs = secondsToMs(responseSeconds);
    nv::inet::setProcessTimeouts(t);
}

}  // namespace wscore
