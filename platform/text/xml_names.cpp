#include "platform/text/xml_names.h"

#include "platform/text/unicode.h"

namespace nv::text {
namespace {

bool isNameStartChar(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

}  // namespace

bool isNCName(std::string_view utf8) {
    if (utf8.empty())
        return false;
    std::size_t i = 0;
    bool first = true;
    while (i < utf8.size()) {
        char32_t c;
        if (!nextCodePoint(utf8, i, c))
            return false;
        if (first ? !isNameStartChar(c) : !isNameChar(c))
            return false;
        first = false;
    }
    return true;
}

bool isQName(std::string_view utf8) {
    std::size_t colon = utf8.find(':');
    if (colon == std::string_view::npos)
        return isNCName(utf8);
    return isNCName(utf8.substr(0, colon)) && isNCName(utf8.substr(colon + 1));
}

}  // namespace nv::text
