// Turning one POSTed SOAP request into an Answer: parsing (plain XML or DIME), version and
// mustUnderstand checks, finding the operation, HTTP Basic authentication, and faults for
// everything that goes wrong. Nothing escapes as an exception.
#pragma once

#include <span>
#include <string_view>

#include "examples/demo_service/answer.h"
#include "examples/demo_service/operation_table.h"

namespace nv::demo {

inline constexpr std::string_view kBasicRealm = "Sondar demo";
inline constexpr std::string_view kDemoUser = "demo";
inline constexpr std::string_view kDemoPassword = "demo";

struct SoapRequest {
    std::string_view contentType;  // the Content-Type header as sent
    std::string_view body;
    std::string_view authorization;  // the Authorization header, empty when absent
};

Answer dispatchSoap(std::span<const Operation> operations, const SoapRequest& request);

}  // namespace nv::demo
