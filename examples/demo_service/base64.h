// Standard Base64 (RFC 4648, with padding), for xsd:base64Binary content and Basic credentials.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nv::demo {

std::string encodeBase64(std::string_view bytes);
// XML whitespace inside the text is skipped (schema processors allow line breaks in
// base64Binary); anything else outside the alphabet, or bad padding, gives no value.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace nv::demo
