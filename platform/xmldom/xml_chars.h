// Conversions between libxml2's xmlChar strings and std views (internal to the DOM).
#pragma once

#include <string>
#include <string_view>

#include <libxml/xmlstring.h>

#include "platform/text/unicode.h"

namespace nv::xml::detail {

// A null pointer reads as the empty view.
inline std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

// libxml2 takes NUL-terminated UTF-8; the string must outlive the call.
inline const xmlChar* xmlText(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

inline const xmlChar* xmlBytes(std::string_view s) {
    return reinterpret_cast<const xmlChar*>(s.data());
}

// Text going into the tree must be UTF-8 (libxml2 complains on stderr otherwise): malformed
// sequences become U+FFFD.
inline std::string validUtf8(std::string_view s) {
    if (nv::text::isValidUtf8(s))
        return std::string(s);
    return nv::text::utf16ToUtf8(nv::text::utf8ToUtf16(s));
}

inline constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
inline constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

}  // namespace nv::xml::detail
