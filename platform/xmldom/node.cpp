#include "platform/xmldom/node.h"

#include <climits>
#include <cstddef>

#include <libxml/tree.h>

#include "platform/xmldom/document_state.h"
#include "platform/xmldom/markup_writer.h"
#include "platform/xmldom/namespace_scope.h"
#include "platform/xmldom/xml_chars.h"

namespace nv::xml {

using detail::view;

namespace {

bool isDocument(const xmlNode* node) {
    return node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

bool isElement(const xmlNode* node) {
    return node && node->type == XML_ELEMENT_NODE;
}

bool isCharacterData(const xmlNode* node) {
    switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            return true;
        default:
            return false;
    }
}

// Only elements and documents expose children: a DTD's declarations and an entity
// reference's (shared) content stay out of the DOM.
xmlNode* childrenOf(const xmlNode* node) {
    return node && (isElement(node) || isDocument(node)) ? node->children : nullptr;
}

xmlNode* lastChildOf(const xmlNode* node) {
    return node && (isElement(node) || isDocument(node)) ? node->last : nullptr;
}

xmlNode* nextElement(xmlNode* node, std::string_view baseName) {
    for (; node; node = node->next) {
        if (isElement(node) && (baseName.empty() || view(node->name) == baseName))
            return node;
    }
    return nullptr;
}

// "p:local" compared without building it.
bool isNamed(std::string_view qualifiedName, std::string_view prefix, std::string_view local) {
    if (prefix.empty())
        return qualifiedName == local;
    return qualifiedName.size() == prefix.size() + 1 + local.size() &&
           qualifiedName.substr(0, prefix.size()) == prefix &&
           qualifiedName[prefix.size()] == ':' && qualifiedName.substr(prefix.size() + 1) == local;
}

std::string_view attributePrefix(const xmlAttr* attr) {
    return attr->ns ? view(attr->ns->prefix) : std::string_view();
}

std::string valueOf(const xmlAttr* attr) {
    const xmlNode* part = attr->children;
    if (part && !part->next)
        return std::string(view(part->content));
    std::string value;
    for (; part; part = part->next) {
        if (part->type == XML_TEXT_NODE)
            value.append(view(part->content));
    }
    return value;
}

// The declaration an "xmlns" / "xmlns:p" name stands for, or null (also for other names).
const xmlNs* declarationNamed(const xmlNode* element, std::string_view qualifiedName) {
    std::string_view prefix;
    if (qualifiedName.substr(0, 6) == "xmlns:") {
        prefix = qualifiedName.substr(6);
    } else if (qualifiedName != "xmlns") {
        return nullptr;
    }
    for (const xmlNs* ns = element->nsDef; ns; ns = ns->next) {
        if (view(ns->prefix) == prefix)
            return ns;
    }
    return nullptr;
}

const xmlAttr* attributeNamed(const xmlNode* element, std::string_view qualifiedName) {
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
        if (isNamed(qualifiedName, attributePrefix(attr), view(attr->name)))
            return attr;
    }
    return nullptr;
}

// Links `child` as the last child by hand: xmlAddChild merges adjacent text nodes and frees
// the one added, which would leave the caller's handle dangling.
void linkLast(xmlNode* parent, xmlNode* child) {
    child->parent = parent;
    child->next = nullptr;
    child->prev = parent->last;
    if (parent->last) {
        parent->last->next = child;
    } else {
        parent->children = child;
    }
    parent->last = child;
}

bool canAppend(const xmlNode* parent, const xmlNode* child) {
    switch (child->type) {
        case XML_ELEMENT_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (isDocument(parent))
                return false;
            break;
        default:
            return false;
    }
    if (!isElement(parent) && !isDocument(parent))
        return false;
    if (detail::documentOf(parent) != child->doc)
        return false;
    if (isDocument(parent) && isElement(child)) {
        for (const xmlNode* sibling = parent->children; sibling; sibling = sibling->next) {
            if (isElement(sibling) && sibling != child)
                return false;  // one root element only
        }
    }
    if (parent == child)
        return false;
    // Only a node with children can be a proper ancestor of the new parent.
    if (child->children) {
        for (const xmlNode* ancestor = parent; ancestor; ancestor = ancestor->parent) {
            if (ancestor == child)
                return false;
        }
    }
    return true;
}

bool declareNamespace(xmlNode* element, std::string_view prefix, std::string_view href) {
    if (prefix == "xml" || prefix == "xmlns" || href == detail::kXmlNamespace ||
        href == detail::kXmlnsNamespace) {
        return false;
    }
    std::string prefixText(prefix);
    if (!prefix.empty() && (href.empty() || xmlValidateNCName(detail::xmlText(prefixText), 0))) {
        return false;
    }
    std::string hrefText = detail::validUtf8(href);
    for (xmlNs* ns = element->nsDef; ns; ns = ns->next) {
        if (view(ns->prefix) != prefix)
            continue;
        // Rebinding a declaration moves every name that uses it to the new URI.
        if (view(ns->href) != hrefText) {
            xmlChar* replacement = xmlStrdup(detail::xmlText(hrefText));
            if (!replacement)
                return false;
            xmlFree(const_cast<xmlChar*>(ns->href));
            ns->href = replacement;
        }
        return true;
    }
    return xmlNewNs(element, detail::xmlText(hrefText),
                    prefix.empty() ? nullptr : detail::xmlText(prefixText)) != nullptr;
}

}  // namespace

NodeType Node::type() const {
    if (!node_)
        return NodeType::Other;
    switch (node_->type) {
        case XML_ELEMENT_NODE:
            return NodeType::Element;
        case XML_ATTRIBUTE_NODE:
            return NodeType::Attribute;
        case XML_TEXT_NODE:
            return NodeType::Text;
        case XML_CDATA_SECTION_NODE:
            return NodeType::CData;
        case XML_COMMENT_NODE:
            return NodeType::Comment;
        case XML_PI_NODE:
            return NodeType::ProcessingInstruction;
        case XML_DOCUMENT_NODE:
        case XML_HTML_DOCUMENT_NODE:
            return NodeType::Document;
        default:
            return NodeType::Other;
    }
}

std::string_view Node::baseName() const {
    return isElement(node_) ? view(node_->name) : std::string_view();
}

std::string_view Node::prefix() const {
    return isElement(node_) && node_->ns ? view(node_->ns->prefix) : std::string_view();
}

std::string_view Node::namespaceURI() const {
    return isElement(node_) && node_->ns ? view(node_->ns->href) : std::string_view();
}

std::string Node::nodeName() const {
    if (!node_)
        return {};
    switch (node_->type) {
        case XML_ELEMENT_NODE: {
            std::string name(prefix());
            if (!name.empty())
                name += ':';
            name.append(view(node_->name));
            return name;
        }
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        case XML_DOCUMENT_NODE:
        case XML_HTML_DOCUMENT_NODE:
            return "#document";
        case XML_DOCUMENT_FRAG_NODE:
            return "#document-fragment";
        default:
            return std::string(view(node_->name));
    }
}

Node Node::parent() const {
    return node_ && !isDocument(node_) ? Node(node_->parent) : Node();
}

Node Node::firstChild() const {
    return Node(childrenOf(node_));
}

Node Node::lastChild() const {
    return Node(lastChildOf(node_));
}

Node Node::nextSibling() const {
    return node_ && !isDocument(node_) ? Node(node_->next) : Node();
}

Node Node::previousSibling() const {
    return node_ && !isDocument(node_) ? Node(node_->prev) : Node();
}

bool Node::hasChildNodes() const {
    return childrenOf(node_) != nullptr;
}

Node Node::firstChildElement(std::string_view baseName) const {
    return Node(nextElement(childrenOf(node_), baseName));
}

Node Node::nextSiblingElement(std::string_view baseName) const {
    return node_ && !isDocument(node_) ? Node(nextElement(node_->next, baseName)) : Node();
}

std::string Node::attribute(std::string_view qualifiedName) const {
    if (!isElement(node_))
        return {};
    if (const xmlNs* ns = declarationNamed(node_, qualifiedName))
        return std::string(view(ns->href));
    const xmlAttr* attr = attributeNamed(node_, qualifiedName);
    return attr ? valueOf(attr) : std::string();
}

bool Node::hasAttribute(std::string_view qualifiedName) const {
    if (!isElement(node_))
        return false;
    return declarationNamed(node_, qualifiedName) || attributeNamed(node_, qualifiedName);
}

std::string Node::attributeNS(std::string_view namespaceURI, std::string_view localName) const {
    if (!isElement(node_))
        return {};
    if (namespaceURI == detail::kXmlnsNamespace) {
        std::string_view prefix = localName == "xmlns" ? std::string_view() : localName;
        for (const xmlNs* ns = node_->nsDef; ns; ns = ns->next) {
            if (view(ns->prefix) == prefix)
                return std::string(view(ns->href));
        }
        return {};
    }
    for (const xmlAttr* attr = node_->properties; attr; attr = attr->next) {
        std::string_view uri = attr->ns ? view(attr->ns->href) : std::string_view();
        if (uri == namespaceURI && view(attr->name) == localName)
            return valueOf(attr);
    }
    return {};
}

std::vector<Attribute> Node::attributes() const {
    std::vector<Attribute> list;
    if (!isElement(node_))
        return list;
    for (const xmlNs* ns = node_->nsDef; ns; ns = ns->next) {
        Attribute decl;
        decl.isNamespaceDeclaration = true;
        decl.namespaceURI = detail::kXmlnsNamespace;
        decl.value = std::string(view(ns->href));
        if (ns->prefix) {
            decl.localName = view(ns->prefix);
            decl.prefix = "xmlns";
            decl.qualifiedName = "xmlns:" + std::string(decl.localName);
        } else {
            decl.localName = "xmlns";
            decl.qualifiedName = "xmlns";
        }
        list.push_back(std::move(decl));
    }
    for (const xmlAttr* attr = node_->properties; attr; attr = attr->next) {
        Attribute item;
        item.localName = view(attr->name);
        item.prefix = attributePrefix(attr);
        item.namespaceURI = attr->ns ? view(attr->ns->href) : std::string_view();
        item.qualifiedName = item.prefix.empty()
                                 ? std::string(item.localName)
                                 : std::string(item.prefix) + ":" + std::string(item.localName);
        item.value = valueOf(attr);
        list.push_back(std::move(item));
    }
    return list;
}

std::string_view Node::value() const {
    return node_ && isCharacterData(node_) ? view(node_->content) : std::string_view();
}

std::string Node::text() const {
    if (!node_)
        return {};
    if (isCharacterData(node_))
        return std::string(view(node_->content));
    const xmlNode* first = childrenOf(node_);
    if (first && !first->next && first->type == XML_TEXT_NODE) {
        return std::string(view(first->content));  // the common <a>text</a>, copied once
    }
    std::string text;
    // Walk the subtree in document order without recursion.
    const xmlNode* cur = first;
    while (cur) {
        if (cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE) {
            text.append(view(cur->content));
        } else if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur && !cur->next) {
            cur = cur->parent;
            if (cur == node_)
                cur = nullptr;
        }
        if (cur)
            cur = cur->next;
    }
    return text;
}

std::string Node::xml() const {
    return detail::markupOf(node_);
}

std::string_view Node::lookupNamespaceURI(std::string_view prefix) const {
    if (!node_)
        return {};
    if (prefix == "xml")
        return detail::kXmlNamespace;
    if (prefix == "xmlns")
        return detail::kXmlnsNamespace;
    const xmlNs* ns = detail::findBinding(node_, prefix);
    return ns ? view(ns->href) : std::string_view();
}

Node Node::appendChild(Node child) const {
    xmlNode* parent = node_;
    xmlNode* node = child.raw();
    if (!parent || !node || !canAppend(parent, node))
        return {};
    detail::DocumentState* state = detail::stateOf(parent);
    bool moving = node->parent != nullptr;
    if (moving) {
        xmlUnlinkNode(node);
    } else if (state) {
        state->adoptOrphan(node);  // the tree owns it from now on
    }
    linkLast(parent, node);
    if (moving && state)
        detail::detachNamespaceReferences(*state, node);
    return Node(node);
}

bool Node::removeChild(Node child) const {
    xmlNode* node = child.raw();
    if (!node_ || !node || node->parent != node_)
        return false;
    xmlUnlinkNode(node);
    xmlFreeNode(node);  // and its subtree; references into it only come from inside it
    return true;
}

bool Node::setAttribute(std::string_view qualifiedName, std::string_view value) const {
    if (!isElement(node_))
        return false;
    if (qualifiedName == "xmlns")
        return declareNamespace(node_, {}, value);
    if (qualifiedName.substr(0, 6) == "xmlns:") {
        std::string_view prefix = qualifiedName.substr(6);
        return !prefix.empty() && declareNamespace(node_, prefix, value);
    }
    std::string name(qualifiedName);
    if (xmlValidateQName(detail::xmlText(name), 0) != 0)
        return false;
    std::string text = detail::validUtf8(value);
    std::size_t colon = qualifiedName.find(':');
    if (colon == std::string_view::npos) {
        return xmlSetNsProp(node_, nullptr, detail::xmlText(name), detail::xmlText(text)) !=
               nullptr;
    }
    std::string prefix(qualifiedName.substr(0, colon));
    std::string local(qualifiedName.substr(colon + 1));
    xmlNs* ns = nullptr;
    if (prefix == "xml") {
        ns = xmlSearchNs(node_->doc, node_, detail::xmlText(prefix));
    } else {
        ns = const_cast<xmlNs*>(detail::findBinding(node_, prefix));
    }
    if (!ns)
        return false;  // an attribute's prefix must be bound
    return xmlSetNsProp(node_, ns, detail::xmlText(local), detail::xmlText(text)) != nullptr;
}

bool Node::setText(std::string_view value) const {
    if (!node_)
        return false;
    std::string text = detail::validUtf8(value);
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    if (isCharacterData(node_)) {
        xmlNodeSetContentLen(node_, detail::xmlText(text), static_cast<int>(text.size()));
        return true;
    }
    if (!isElement(node_))
        return false;
    if (node_->children)
        xmlFreeNodeList(node_->children);
    node_->children = nullptr;
    node_->last = nullptr;
    if (text.empty())
        return true;
    xmlNode* content =
        xmlNewDocTextLen(node_->doc, detail::xmlText(text), static_cast<int>(text.size()));
    if (!content)
        return false;
    linkLast(node_, content);
    return true;
}

}  // namespace nv::xml
