// Namespace URIs the demo service's WSDL and messages use.
#pragma once

#include <string_view>

namespace nv::demo {

inline constexpr std::string_view kXsdNs = "http://www.w3.org/2001/XMLSchema";
inline constexpr std::string_view kXsiNs = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::string_view kSoapEncodingNs = "http://schemas.xmlsoap.org/soap/encoding/";

// The WSDL's target namespace, also the document/literal schema's.
inline constexpr std::string_view kDemoNs = "urn:sondar:demo";
// Types of the rpc/encoded port.
inline constexpr std::string_view kDemoEncodedNs = "urn:sondar:demo:encoded";
// soap:body namespace of the rpc/encoded port: the namespace of its operation wrappers.
inline constexpr std::string_view kDemoRpcNs = "urn:sondar:demo:rpc";

// Where the two ports answer.
inline constexpr std::string_view kDocumentPath = "/demo/doclit";
inline constexpr std::string_view kRpcPath = "/demo/rpcenc";

}  // namespace nv::demo
