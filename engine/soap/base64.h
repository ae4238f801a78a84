// Standard Base64 (RFC 4648) decoding of values received in responses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wscore {

// Decodes `text`, skipping white space (values are often wrapped at 76 columns). Nothing for
// text with other characters outside the alphabet, misplaced padding or nothing to decode.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace wscore
