// Namespaces the loader recognises (WSDL 1.1, its SOAP, HTTP and DIME extensions, XML Schema,
// SOAP 1.1 encoding).
#pragma once

#include <string_view>

namespace wscore::ns {

inline constexpr std::string_view kWsdl = "http://schemas.xmlsoap.org/wsdl/";
inline constexpr std::string_view kSoap11Binding = "http://schemas.xmlsoap.org/wsdl/soap/";
inline constexpr std::string_view kSoap12Binding = "http://schemas.xmlsoap.org/wsdl/soap12/";
inline constexpr std::string_view kHttpBinding = "http://schemas.xmlsoap.org/wsdl/http/";
inline constexpr std::string_view kDimeWsdl = "http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/";
inline constexpr std::string_view kDimeContentType =
    "http://schemas.xmlsoap.org/ws/2002/04/content-type/";
inline constexpr std::string_view kDimeClosedLayout =
    "http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout";
inline constexpr std::string_view kDimeOpenLayout =
    "http://schemas.xmlsoap.org/ws/2002/04/dime/open-layout";
inline constexpr std::string_view kXmlSchema = "http://www.w3.org/2001/XMLSchema";
inline constexpr std::string_view kXmlSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";
// Stored on rpc/encoded operations without its final slash.
inline constexpr std::string_view kSoapEncodingNoSlash = "http://schemas.xmlsoap.org/soap/encoding";
inline constexpr std::string_view kSoapEncoding = "http://schemas.xmlsoap.org/soap/encoding/";
inline constexpr std::string_view kSoapEnvelope = "http://schemas.xmlsoap.org/soap/envelope/";

inline bool isSoapBinding(std::string_view uri) {
    return uri == kSoap11Binding || uri == kSoap12Binding;
}

}  // namespace wscore::ns
