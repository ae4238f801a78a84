#include "platform/xmldom/document.h"

#include <climits>
#include <utility>

#include <libxml/tree.h>

#include "platform/io/files.h"
#include "platform/text/unicode.h"
#include "platform/xmldom/document_state.h"
#include "platform/xmldom/hardened_parser.h"
#include "platform/xmldom/markup_writer.h"
#include "platform/xmldom/xml_chars.h"

namespace nv::xml {

struct Document::Impl {
    detail::DocumentState tree;  // at a stable address: the libxml2 document points at it
    ParseError error;
    bool async = true;
    bool validateOnParse = true;
    bool preserveWhiteSpace = false;
    std::size_t maxDepth = kDefaultMaxDepth;

    void makeEmpty() { tree.reset(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))); }

    bool load(std::string_view bytes, bool ignoreDeclaredEncoding) {
        tree.reset(nullptr);  // the old tree goes before the new one is built
        detail::ParseOptions options{maxDepth, preserveWhiteSpace, ignoreDeclaredEncoding};
        xmlDoc* parsed = detail::parseUntrusted(bytes, options, error);
        if (!parsed) {
            makeEmpty();
            return false;
        }
        tree.reset(parsed);
        return true;
    }

    // Registers a node made by create*() so it is freed if never appended.
    Node adopt(xmlNode* node) {
        if (!node)
            return {};
        tree.addOrphan(node);
        return Node(node);
    }
};

Document::Document() : impl_(std::make_unique<Impl>()) {
    detail::prepareLibxml();
    impl_->makeEmpty();
}

Document::~Document() = default;
Document::Document(Document&& other) noexcept = default;
Document& Document::operator=(Document&& other) noexcept = default;

void Document::setAsync(bool value) {
    impl_->async = value;
}
bool Document::async() const {
    return impl_->async;
}
void Document::setValidateOnParse(bool value) {
    impl_->validateOnParse = value;
}
bool Document::validateOnParse() const {
    return impl_->validateOnParse;
}
void Document::setPreserveWhiteSpace(bool value) {
    impl_->preserveWhiteSpace = value;
}
bool Document::preserveWhiteSpace() const {
    return impl_->preserveWhiteSpace;
}
void Document::setMaxDepth(std::size_t depth) {
    impl_->maxDepth = depth;
}
std::size_t Document::maxDepth() const {
    return impl_->maxDepth;
}

bool Document::loadXML(std::string_view bytes) {
    return impl_->load(bytes, false);
}

bool Document::loadXML(std::u16string_view text) {
    return impl_->load(nv::text::utf16ToUtf8(text), true);
}

bool Document::load(const std::string& path) {
    std::string bytes;
    std::string why;
    if (!nv::io::readRegularFile(path, bytes, why)) {
        impl_->tree.reset(nullptr);
        impl_->makeEmpty();
        impl_->error = ParseError{true, 0, 0, why};
        return false;
    }
    return impl_->load(bytes, false);
}

const ParseError& Document::parseError() const {
    return impl_->error;
}

Node Document::documentNode() const {
    return Node(reinterpret_cast<xmlNode*>(impl_->tree.doc()));
}

Node Document::documentElement() const {
    xmlDoc* doc = impl_->tree.doc();
    return doc ? Node(xmlDocGetRootElement(doc)) : Node();
}

Node Document::createElement(std::string_view qualifiedName, std::string_view namespaceURI) {
    xmlDoc* doc = impl_->tree.doc();
    std::string name(qualifiedName);
    if (!doc || xmlValidateQName(detail::xmlText(name), 0) != 0)
        return {};
    std::string prefix;
    std::string local = name;
    if (std::size_t colon = name.find(':'); colon != std::string::npos) {
        prefix = name.substr(0, colon);
        local = name.substr(colon + 1);
    }
    if (prefix == "xmlns" || namespaceURI == detail::kXmlnsNamespace)
        return {};
    if (!prefix.empty() && namespaceURI.empty())
        return {};  // a prefix needs a namespace
    if ((prefix == "xml") != (namespaceURI == detail::kXmlNamespace))
        return {};

    xmlNode* element = xmlNewDocNode(doc, nullptr, detail::xmlText(local), nullptr);
    if (!element)
        return {};
    Node node = impl_->adopt(element);
    if (!namespaceURI.empty()) {
        // The name carries its namespace without a declaration; the writer adds one where the
        // markup needs it, so a subtree built this way gets no redundant declarations.
        element->ns = prefix == "xml"
                          ? xmlSearchNs(doc, element, detail::xmlText(prefix))
                          : impl_->tree.ownedNamespace(prefix, detail::validUtf8(namespaceURI));
        if (!element->ns)
            return {};  // freed with the document
    }
    return node;
}

Node Document::createTextNode(std::string_view text) {
    std::string content = detail::validUtf8(text);
    if (!impl_->tree.doc() || content.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    return impl_->adopt(xmlNewDocTextLen(impl_->tree.doc(), detail::xmlText(content),
                                         static_cast<int>(content.size())));
}

Node Document::createCDATASection(std::string_view text) {
    std::string content = detail::validUtf8(text);
    if (!impl_->tree.doc() || content.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    return impl_->adopt(xmlNewCDataBlock(impl_->tree.doc(), detail::xmlText(content),
                                         static_cast<int>(content.size())));
}

Node Document::createComment(std::string_view text) {
    std::string content = detail::validUtf8(text);
    if (!impl_->tree.doc())
        return {};
    return impl_->adopt(xmlNewDocComment(impl_->tree.doc(), detail::xmlText(content)));
}

Node Document::appendChild(Node child) {
    return documentNode().appendChild(child);
}

bool Document::save(const std::string& path) const {
    return nv::io::writeWholeFile(path, xml());
}

std::string Document::xml() const {
    xmlDoc* doc = impl_->tree.doc();
    return doc ? detail::documentMarkup(doc) : std::string();
}

}  // namespace nv::xml
