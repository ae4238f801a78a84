// Namespace bindings in scope at a node (internal to the DOM; includes libxml2).
//
// A binding is in scope at an element when the element or an ancestor declares it (xmlns
// attributes), or, for nodes built through the API, when the element or an ancestor is itself
// named with it: created elements carry their namespace without a declaration, and the writer
// declares it where the markup needs it.
#pragma once

#include <string_view>
#include <vector>

#include <libxml/tree.h>

namespace nv::xml::detail {

class DocumentState;

struct Binding {
    std::string_view prefix;  // empty: the default namespace
    std::string_view href;    // empty for the default namespace: "no namespace"
};

// The namespace object bound to `prefix` at `node` (nearest wins), or null. Does not know the
// implicit xml prefix; callers treat that one themselves.
const xmlNs* findBinding(const xmlNode* node, std::string_view prefix);

// Every binding in scope at `element` that comes from its ancestors (not the element itself),
// one per prefix, the outermost declarations first.
std::vector<Binding> inheritedBindings(const xmlNode* element);

// After `subtree` moved: re-points every namespace reference inside it whose declaration lies
// outside it to a document-owned binding with the same prefix and URI.
void detachNamespaceReferences(DocumentState& state, xmlNode* subtree);

}  // namespace nv::xml::detail
