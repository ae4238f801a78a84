#include "platform/xmldom/whitespace_filter.h"

#include <string_view>

#include <libxml/SAX2.h>

#include "platform/xmldom/xml_chars.h"

namespace nv::xml::detail {

namespace {

bool isBlank(const xmlChar* text, int length) {
    for (int i = 0; i < length; ++i) {
        xmlChar c = text[i];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return false;
    }
    return true;
}

}  // namespace

void WhitespaceFilter::characters(void* ctx, const xmlChar* text, int length) {
    if (inText_ || preserving()) {
        inText_ = true;
        xmlSAX2Characters(ctx, text, length);
        return;
    }
    if (isBlank(text, length)) {
        held_.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        return;
    }
    inText_ = true;
    if (!held_.empty()) {
        xmlSAX2Characters(ctx, xmlBytes(held_), static_cast<int>(held_.size()));
        held_.clear();
    }
    xmlSAX2Characters(ctx, text, length);
}

void WhitespaceFilter::enterElement(std::size_t depth, const xmlChar** attributes,
                                    int attributeCount) {
    if (keepAll_)
        return;
    // Five pointers per attribute: local name, prefix, URI, value start, value end.
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar** attr = attributes + 5 * i;
        if (view(attr[0]) != "space" || view(attr[2]) != kXmlNamespace)
            continue;
        std::string_view value(reinterpret_cast<const char*>(attr[3]),
                               static_cast<std::size_t>(attr[4] - attr[3]));
        if (value == "preserve" || value == "default") {
            scopes_.emplace_back(depth, value == "preserve");
        }
        return;
    }
}

}  // namespace nv::xml::detail
