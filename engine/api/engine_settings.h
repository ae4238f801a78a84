// The settings the engine reads from the per-user registry: the Internet options written by
// the workbench's options dialog, and the folder where returned binary data is saved.
#pragma once

#include <cstdint>
#include <string>

namespace wscore {

// Per-connection copy of the Internet options, refreshed at every WSDL load.
struct InternetSettings {
    std::uint32_t useProxy = 0;
    std::uint32_t connectTimeout = 0;   // seconds
    std::uint32_t responseTimeout = 0;  // seconds
    std::uint32_t internetConnection = 1;
    std::uint32_t useAutoConfigUrl = 0;
    std::u16string proxyServer;
    std::u16string proxyPort;
    std::u16string proxyUsername;
    std::u16string proxyPassword;  // in clear; stored scrambled
    std::u16string autoConfigUrl;

    // Server, or server ":" port when the port is not empty.
    std::u16string proxyString() const;
};

// Registry location and limits (characters, without the terminator) of the settings.
inline constexpr const char16_t* kInternetKey = u"Software\\Norvale\\Sondar\\Options\\Internet";
inline constexpr const char16_t* kSondarKey = u"Software\\Norvale\\Sondar";
inline constexpr std::size_t kProxyServerLimit = 255;
inline constexpr std::size_t kProxyPortLimit = 5;
inline constexpr std::size_t kProxyUserLimit = 127;
inline constexpr std::size_t kProxyPasswordLimit = 127;
inline constexpr std::size_t kAutoConfigUrlLimit = 255;
inline constexpr std::size_t kWorkingDirectoryLimit = 511;

// Reads the Internet options into `s`. DWORDs that are missing take their defaults; a value
// of the wrong type or size, and a string that is over its limit or not NUL-terminated, keeps
// what `s` held. The proxy strings are read only with UseProxy set (else emptied), the
// auto-configuration address only with UseAutoConfigURL set. The stored password is
// unscrambled with the proxy server name.
void readInternetSettings(InternetSettings& s);

// The "Working Directory" value; empty when the key or the value is missing.
std::u16string readWorkingDirectorySetting();

// Sets the process-wide timeouts from seconds: connect = connectSeconds x 1000 ms, send and
// receive = responseSeconds x 1000 ms.
void applyProcessTimeouts(std::uint32_t connectSeconds, std::uint32_t responseSeconds);

}  // namespace wscore
