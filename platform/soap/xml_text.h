// Character-level rules for the markup the serializer writes; the request writer applies the
// same rules to the fragments it writes raw.
#pragma once

#include <string>
#include <string_view>

#include "platform/export.h"

namespace nv::soap::markup {

// Empty when `text` is UTF-8 that XML 1.0 can carry; otherwise what is wrong with it (a
// control character, U+FFFE/U+FFFF, a malformed sequence).
NV_PLATFORM_API std::string textProblem(std::string_view text);

// Escapes & < > " ' and CR (which a parser would turn into LF) in character content.
NV_PLATFORM_API void appendEscapedText(std::string& out, std::string_view text);
// As appendEscapedText, plus TAB and LF, which attribute-value normalization would flatten.
NV_PLATFORM_API void appendEscapedAttribute(std::string& out, std::string_view value);

// A name the serializer can put in a tag: an XML NCName, or with `allowColon` a QName for
// names given already qualified ("m:Get").
NV_PLATFORM_API bool isWritableName(std::string_view name, bool allowColon);

}  // namespace nv::soap::markup
