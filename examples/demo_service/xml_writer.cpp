#include "examples/demo_service/xml_writer.h"

#include "platform/soap/xml_text.h"

namespace nv::demo {

XmlWriter& XmlWriter::start(std::string_view name) {
    closeStartTag();
    out_ += '<';
    out_ += name;
    open_.emplace_back(name);
    tagOpen_ = true;
    return *this;
}

XmlWriter& XmlWriter::attribute(std::string_view name, std::string_view value) {
    if (!tagOpen_)
        return *this;
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    soap::markup::appendEscapedAttribute(out_, value);
    out_ += '"';
    return *this;
}

XmlWriter& XmlWriter::text(std::string_view content) {
    closeStartTag();
    soap::markup::appendEscapedText(out_, content);
    return *this;
}

XmlWriter& XmlWriter::raw(std::string_view markup) {
    closeStartTag();
    out_ += markup;
    return *this;
}

XmlWriter& XmlWriter::end() {
    if (open_.empty())
        return *this;
    if (tagOpen_) {
        out_ += "/>";
        tagOpen_ = false;
    } else {
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
    }
    open_.pop_back();
    return *this;
}

XmlWriter& XmlWriter::element(std::string_view name, std::string_view content) {
    start(name);
    if (!content.empty())
        text(content);
    return end();
}

std::string XmlWriter::take() {
    while (!open_.empty())
        end();
    std::string result;
    result.swap(out_);
    return result;
}

void XmlWriter::closeStartTag() {
    if (tagOpen_) {
        out_ += '>';
        tagOpen_ = false;
    }
}

}  // namespace nv::demo
