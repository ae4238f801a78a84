#include "platform/soap/xml_text.h"

#include <cstdio>

#include "platform/text/unicode.h"
#include "platform/text/xml_names.h"

namespace nv::soap::markup {

namespace {

std::string codePoint(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", value);
    return text;
}

void appendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\n':
                out += attribute ? "&#10;" : "\n";
                break;
            case '\t':
                out += attribute ? "&#9;" : "\t";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

std::string textProblem(std::string_view text) {
    if (!text::isValidUtf8(text))
        return "the text is not valid UTF-8";
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return "the text contains " + codePoint(c) + ", which XML cannot carry";
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            static_cast<unsigned char>(text[i + 2]) >= 0xBE) {
            return "the text contains " +
                   codePoint(0xFFFEu + (static_cast<unsigned char>(text[i + 2]) - 0xBEu)) +
                   ", which XML cannot carry";
        }
    }
    return {};
}

void appendEscapedText(std::string& out, std::string_view text) {
    appendEscaped(out, text, false);
}

void appendEscapedAttribute(std::string& out, std::string_view value) {
    appendEscaped(out, value, true);
}

bool isWritableName(std::string_view name, bool allowColon) {
    return allowColon ? text::isQName(name) : text::isNCName(name);
}

}  // namespace nv::soap::markup
