#include "examples/demo_service/xml_writer.h"

namespace nv::demo {

namespace {

void appendEscaped(std::string& out, std::string_view text, bool inAttribute) {
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
                out += inAttribute ? "&quot;" : "\"";
                break;
            // A parser turns a literal CR into LF; in attributes it flattens TAB and LF too.
            case '\r':
                out += "&#13;";
                break;
            case '\n':
                out += inAttribute ? "&#10;" : "\n";
                break;
            case '\t':
                out += inAttribute ? "&#9;" : "\t";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

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
    appendEscaped(out_, value, true);
    out_ += '"';
    return *this;
}

XmlWriter& XmlWriter::text(std::string_view content) {
    closeStartTag();
    appendEscaped(out_, content, false);
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
