// Node: a small non-owning handle over one node of a Document's libxml2 tree.
//
// A Node stays valid while its Document lives, until the node (or an ancestor) is removed or
// the Document loads something else. Names and values come back as UTF-8 views into the tree
// (valid as long as the node and unchanged); strings that must be assembled come back by value.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

struct _xmlNode;  // libxml2's node; kept opaque so users need not see libxml2's headers

namespace nv::xml {

// Attribute nodes are not reachable as Nodes (attributes are read by name or as a list);
// the value exists so that every libxml2 node kind maps somewhere.
enum class NodeType {
    Element,
    Attribute,
    Text,
    CData,
    Comment,
    ProcessingInstruction,
    Document,
    Other,  // document type, entity reference, ...
};

// One attribute as listed by Node::attributes(). The views point into the tree.
struct Attribute {
    std::string qualifiedName;      // as written: "p:local", "local", "xmlns:p", "xmlns"
    std::string_view localName;     // "local"; "p" for xmlns:p; "xmlns" for a default declaration
    std::string_view prefix;        // "p"; "xmlns" for xmlns:p; empty for "xmlns" and "local"
    std::string_view namespaceURI;  // of the attribute itself; the xmlns namespace for decls
    std::string value;
    bool isNamespaceDeclaration = false;
};

class NodeRange;

class NV_PLATFORM_API Node {
  public:
    Node() = default;
    // Wraps a raw libxml2 node; for the DOM's own use (callers get Nodes from a Document).
    explicit Node(_xmlNode* node) : node_(node) {}

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const Node& other) const { return node_ == other.node_; }
    _xmlNode* raw() const { return node_; }

    NodeType type() const;
    // Local name without prefix for elements; empty for every other kind of node.
    std::string_view baseName() const;
    std::string_view prefix() const;
    std::string_view namespaceURI() const;
    // "p:local" as written for elements, "#text", "#cdata-section", "#comment", "#document",
    // the target for processing instructions, the name for document types.
    std::string nodeName() const;

    // Navigation; a null Node when there is none. The document node has no parent.
    Node parent() const;
    Node firstChild() const;
    Node lastChild() const;
    Node nextSibling() const;
    Node previousSibling() const;
    NodeRange children() const;
    bool hasChildNodes() const;
    // First child (or next sibling) element with this base name in any namespace; any element
    // when the name is empty.
    Node firstChildElement(std::string_view baseName = {}) const;
    Node nextSiblingElement(std::string_view baseName = {}) const;

    // Attributes of an element, by qualified name as written ("type", "xsi:type", "xmlns:p");
    // a missing attribute (or a node that is not an element) reads as empty.
    std::string attribute(std::string_view qualifiedName) const;
    bool hasAttribute(std::string_view qualifiedName) const;
    std::string attributeNS(std::string_view namespaceURI, std::string_view localName) const;
    // Namespace declarations first (written order), then the other attributes (written order).
    std::vector<Attribute> attributes() const;

    // Content of a text, CDATA, comment or processing-instruction node; empty for others.
    std::string_view value() const;
    // Text of the node and its descendants (text and CDATA, in document order).
    std::string text() const;
    // Markup of the node and everything inside. An element carries every namespace declaration
    // in scope, so the fragment parses on its own. The document gives the whole document.
    std::string xml() const;

    // Namespace URI bound to `prefix` here (empty prefix: the default namespace); empty when
    // unbound. Resolves QName-valued attributes such as type="tns:Foo".
    std::string_view lookupNamespaceURI(std::string_view prefix) const;

    // Tree changes. appendChild moves a node already in the tree; it refuses (null result)
    // nodes of another Document, cycles, and content a document cannot hold (text, a second
    // root element). removeChild frees the child and everything below it.
    Node appendChild(Node child) const;
    bool removeChild(Node child) const;
    // Adds or replaces an attribute; "p:local" needs p to be in scope. "xmlns" / "xmlns:p"
    // declare a namespace on the element (redeclaring a prefix there rebinds the names that
    // use it); as in MSXML, nodes keep the namespace they were created with, and the markup
    // declares whatever it needs to say so.
    bool setAttribute(std::string_view qualifiedName, std::string_view value) const;
    // Replaces an element's children with one text node (none for empty text), or sets the
    // content of a text, CDATA, comment or processing-instruction node.
    bool setText(std::string_view value) const;

  private:
    _xmlNode* node_ = nullptr;
};

// Forward iterator over siblings; never allocates.
class NodeIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Node;
    using difference_type = std::ptrdiff_t;
    using pointer = const Node*;
    using reference = Node;

    NodeIterator() = default;
    explicit NodeIterator(Node node) : node_(node) {}
    Node operator*() const { return node_; }
    const Node* operator->() const { return &node_; }
    NodeIterator& operator++() {
        node_ = node_.nextSibling();
        return *this;
    }
    NodeIterator operator++(int) {
        NodeIterator old = *this;
        ++*this;
        return old;
    }
    bool operator==(const NodeIterator& other) const { return node_ == other.node_; }

  private:
    Node node_;
};

// The children of a node, for range-for. Removing the current child while iterating ends the
// iteration's validity; take nextSibling() first.
class NodeRange {
  public:
    explicit NodeRange(Node first) : first_(first) {}
    NodeIterator begin() const { return NodeIterator(first_); }
    NodeIterator end() const { return NodeIterator(); }
    bool empty() const { return first_.isNull(); }

  private:
    Node first_;
};

inline NodeRange Node::children() const {
    return NodeRange(firstChild());
}

}  // namespace nv::xml
