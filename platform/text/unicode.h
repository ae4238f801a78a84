// UTF-8 / UTF-16 conversion and case-insensitive comparison, shared by every layer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace nv::text {

// Malformed input never fails: bad sequences and lone surrogates become U+FFFD.
NV_PLATFORM_API std::u16string utf8ToUtf16(std::string_view utf8);
NV_PLATFORM_API std::string utf16ToUtf8(std::u16string_view utf16);
NV_PLATFORM_API std::u16string latin1ToUtf16(std::string_view bytes);
NV_PLATFORM_API bool isValidUtf8(std::string_view bytes);
// Decodes the code point at byte `i` of `utf8` and moves `i` past it; false (with `i` moved
// past the bad bytes) for a malformed, overlong or surrogate sequence. `i` must be in range.
NV_PLATFORM_API bool nextCodePoint(std::string_view utf8, std::size_t& i, char32_t& cp);

// Length of a NUL-terminated UTF-16 string; a null pointer has length 0.
NV_PLATFORM_API std::size_t length(const char16_t* s);
// View of a NUL-terminated UTF-16 string; null gives the empty view.
inline std::u16string_view view(const char16_t* s) {
    return {s ? s : u"", length(s)};
}

// Simple (one-to-one) Unicode upper-casing, as Windows compares registry and dispatch names.
NV_PLATFORM_API char16_t toUpper(char16_t c);
NV_PLATFORM_API std::u16string toUpper(std::u16string_view s);
NV_PLATFORM_API bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
// <0, 0, >0 like strcmp, on upper-cased code units.
NV_PLATFORM_API int compareIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace nv::text
