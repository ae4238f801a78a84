// A proxy auto-configuration script, compiled once and asked FindProxyForURL per request. Each
// run of script code is bounded in time (an endless loop ends with an error) and memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace nv::inet {

class NV_PLATFORM_API ProxyScript {
  public:
    // Runs the script's top level with the standard PAC helpers defined. nullptr on a syntax
    // error, an exception, a timeout or no FindProxyForURL function; `error` then says why.
    // The caller owns the result; it may be used by one thread at a time.
    static std::unique_ptr<ProxyScript> compile(std::string_view source, std::uint32_t timeLimitMs,
                                                std::string* error = nullptr);
    ~ProxyScript();
    ProxyScript(const ProxyScript&) = delete;
    ProxyScript& operator=(const ProxyScript&) = delete;

    // FindProxyForURL(url, host). nullopt when it throws, runs out of time, or returns
    // something other than a string.
    std::optional<std::string> findProxyForUrl(std::string_view url, std::string_view host,
                                               std::string* error = nullptr);

  private:
    struct Impl;
    explicit ProxyScript(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::inet
