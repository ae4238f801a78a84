// Character-level rules for the markup the serializer writes (internal to the SOAP stand-in).
#pragma once

#include <string>
#include <string_view>

namespace nv::soap::detail {

// Empty when `text` is UTF-8 that XML 1.0 can carry; otherwise what is wrong with it (a
// control character, U+FFFE/U+FFFF, a malformed sequence).
std::string textProblem(std::string_view text);

// Escapes & < > " ' and CR (which a parser would turn into LF) in character content.
void appendEscapedText(std::string& out, std::string_view text);
// As appendEscapedText, plus TAB and LF, which attribute-value normalization would flatten.
void appendEscapedAttribute(std::string& out, std::string_view value);

// A name the serializer can put in a tag: non-empty, not starting with a digit, '-', '.' or
// ':', and free of whitespace and markup characters. `allowColon` for names given already
// qualified ("m:Get").
bool isWritableName(std::string_view name, bool allowColon);

}  // namespace nv::soap::detail
