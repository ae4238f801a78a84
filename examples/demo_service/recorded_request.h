// RecordedRequest: what the demo service last received, kept so tests can see what a client sent.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nv::demo {

struct RecordedRequest {
    std::string method;  // "GET", "POST"
    std::string path;    // as requested, query included: "/demo?wsdl"
    std::vector<std::pair<std::string, std::string>> headers;  // name, value; as received
    std::string body;

    // The first header with this name (ASCII case ignored); empty when there is none.
    std::string header(std::string_view name) const;
    bool hasHeader(std::string_view name) const;
};

}  // namespace nv::demo
