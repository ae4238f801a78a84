// How a session reaches servers: as the environment says, directly, through a fixed proxy, or
// as a proxy auto-configuration (PAC) script decides per request.
#pragma once

#include <cstdint>
#include <string>

namespace nv::inet {

enum class ProxyMode {
    // http_proxy, https_proxy / HTTPS_PROXY, all_proxy, no_proxy / NO_PROXY of the environment,
    // as libcurl reads them (it ignores an upper-case HTTP_PROXY on purpose: CGI programs get
    // that name from a request's "Proxy:" header).
    System,
    Direct,      // no proxy, whatever the environment says
    Fixed,       // `server`, except for hosts matching `bypass`
    AutoConfig,  // FindProxyForURL of the script at `scriptUrl`; direct when that fails
};

struct ProxyConfig {
    ProxyMode mode = ProxyMode::System;
    // Fixed: "host", "host:port" (port 80 when absent), or per scheme "http=h:p;https=h:p".
    std::string server;
    // Fixed: entries separated by ";", "," or blanks. "<local>" stands for localhost, 127.0.0.0/8,
    // ::1 and names without a dot; other entries are host patterns with "*" and "?", optionally
    // with ":port" or a "scheme://" prefix.
    std::string bypass = "<local>";
    std::string scriptUrl;  // AutoConfig: http, https or file URL of the script
    std::string user;       // proxy credentials (Basic, Digest or NTLM, as the proxy asks)
    std::string password;
    std::uint32_t scriptTimeLimitMs = 1000;  // per evaluation of the script

    static ProxyConfig system() { return {}; }
    static ProxyConfig direct() {
        ProxyConfig c;
        c.mode = ProxyMode::Direct;
        return c;
    }
    static ProxyConfig fixed(std::string server, std::string bypass = "<local>") {
        ProxyConfig c;
        c.mode = ProxyMode::Fixed;
        c.server = std::move(server);
        c.bypass = std::move(bypass);
        return c;
    }
    static ProxyConfig autoConfig(std::string scriptUrl) {
        ProxyConfig c;
        c.mode = ProxyMode::AutoConfig;
        c.scriptUrl = std::move(scriptUrl);
        return c;
    }
};

}  // namespace nv::inet
