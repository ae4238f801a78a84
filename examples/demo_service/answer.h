// Answer: the HTTP response an operation produces, before it is handed to the server.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace nv::demo {

inline constexpr const char* kXmlContentType = "text/xml; charset=utf-8";
inline constexpr const char* kDimeContentType = "application/dime";

struct Answer {
    int status = 200;
    std::string contentType = kXmlContentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Type
};

}  // namespace nv::demo
