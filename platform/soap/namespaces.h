// Namespace URIs of the SOAP envelope versions and of DIME's envelope record type.
#pragma once

#include <string_view>

namespace nv::soap {

inline constexpr std::string_view kSoap11EnvelopeNs = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view kSoap12EnvelopeNs = "http://www.w3.org/2003/05/soap-envelope";
// The prefix the serializer gives the envelope namespace when the caller names none.
inline constexpr std::string_view kDefaultEnvelopePrefix = "SOAP-ENV";
// The encodingStyle argument that means "write no encodingStyle attribute".
inline constexpr std::string_view kNoEncodingStyle = "NONE";

}  // namespace nv::soap
