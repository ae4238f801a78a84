// A local HTTP server with small WSDL documents the demo service does not offer: one without
// services, one whose operation has no parts (with an endpoint that answers it), and the same
// behind HTTP Basic authentication (user "u", password "p").
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "tests/support/http_servers.h"

namespace wscom::test {

class WsdlServer {
  public:
    WsdlServer();

    std::string url(const std::string& path) const { return runner_->url(path); }
    // Body of the last request posted to the endpoint.
    std::string lastPost() const;

  private:
    mutable std::mutex mutex_;
    std::string lastPost_;
    std::unique_ptr<nv::test::HttpServerRunner> runner_;
};

}  // namespace wscom::test
