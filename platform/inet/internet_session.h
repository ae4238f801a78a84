// A session over which the engine fetches documents and posts requests, standing in for an
// Internet handle: it keeps its connections alive between requests until closed, and applies
// the proxy configuration it was opened with.
#pragma once

#include <memory>
#include <string>

#include "platform/export.h"
#include "platform/inet/http_message.h"
#include "platform/inet/proxy_config.h"

namespace nv::inet {

// Move-only. One thread at a time per session; different sessions may run on different
// threads at once. Timeouts come from processTimeouts() at each request: connect for
// connecting, send and receive as stall limits (that long without a byte moving ends the
// request with kErrorTimeout); 0 is no limit. TLS certificates and host names are verified
// against the system's authorities; nothing is cached.
class NV_PLATFORM_API InternetSession {
  public:
    // `agent` goes out as User-Agent (none when empty).
    InternetSession(std::string agent, ProxyConfig proxy);
    ~InternetSession();
    InternetSession(InternetSession&& other) noexcept;
    InternetSession& operator=(InternetSession&& other) noexcept;
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Never throws: every failure is an error number in the response. A moved-from session
    // answers kErrorInvalidHandle. With AutoConfig the script is fetched (directly) at the
    // first request and kept for the session's life.
    HttpResponse send(const HttpRequest& request);

    // Drops the kept connections (and a fetched proxy script); the next request starts anew.
    void close();

    const std::string& agent() const;
    const ProxyConfig& proxyConfig() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::inet
