#include "platform/xmldom/document_state.h"

#include "platform/xmldom/xml_chars.h"

namespace nv::xml::detail {

DocumentState::~DocumentState() {
    release();
}

void DocumentState::reset(xmlDoc* doc) {
    release();
    doc_ = doc;
    if (doc_)
        doc_->_private = this;
}

void DocumentState::release() {
    // Orphans first: freeing a node consults its document's dictionary.
    for (xmlNode* node : orphans_)
        xmlFreeNode(node);
    orphans_.clear();
    if (doc_)
        xmlFreeDoc(doc_);
    doc_ = nullptr;
    // Nodes never free the xmlNs they point at, so these go last.
    for (xmlNs* ns : ownedNamespaces_)
        xmlFreeNs(ns);
    ownedNamespaces_.clear();
}

xmlNs* DocumentState::ownedNamespace(std::string_view prefix, std::string_view href) {
    for (xmlNs* ns : ownedNamespaces_) {
        if (view(ns->prefix) == prefix && view(ns->href) == href)
            return ns;
    }
    std::string prefixText(prefix);
    std::string hrefText(href);
    xmlNs* ns =
        xmlNewNs(nullptr, xmlText(hrefText), prefix.empty() ? nullptr : xmlText(prefixText));
    if (ns)
        ownedNamespaces_.push_back(ns);
    return ns;
}

bool DocumentState::owns(const xmlNs* ns) const {
    for (const xmlNs* mine : ownedNamespaces_) {
        if (mine == ns)
            return true;
    }
    return false;
}

xmlDoc* documentOf(const xmlNode* node) {
    if (!node)
        return nullptr;
    if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) {
        return reinterpret_cast<xmlDoc*>(const_cast<xmlNode*>(node));
    }
    return node->doc;
}

DocumentState* stateOf(const xmlNode* node) {
    xmlDoc* doc = documentOf(node);
    return doc ? static_cast<DocumentState*>(doc->_private) : nullptr;
}

}  // namespace nv::xml::detail
