// Bookkeeping a Document keeps beside libxml2's tree (internal to the DOM; includes libxml2).
//
// The tree's namespace references obey one rule that keeps them from dangling: an element's or
// attribute's xmlNs is a declaration (nsDef) on that element or an ancestor, the document's
// xml namespace, or one of ownedNamespaces. Moving a subtree re-points the references that
// would leave their declaration behind (see namespace_scope.h).
#pragma once

#include <string_view>
#include <unordered_set>
#include <vector>

#include <libxml/tree.h>

namespace nv::xml::detail {

class DocumentState {
  public:
    DocumentState() = default;
    ~DocumentState();
    DocumentState(const DocumentState&) = delete;
    DocumentState& operator=(const DocumentState&) = delete;

    // Takes ownership of `doc` (freeing the previous tree and everything created for it) and
    // hangs this state on doc->_private so Nodes can find it.
    void reset(xmlDoc* doc);
    xmlDoc* doc() const { return doc_; }

    // Nodes made by create*() that have no parent yet; freed with the document.
    void addOrphan(xmlNode* node) { orphans_.insert(node); }
    void adoptOrphan(xmlNode* node) { orphans_.erase(node); }

    // A binding owned by the document for nodes that carry no declaration of their own; one
    // per (prefix, href). An empty prefix is the default namespace.
    xmlNs* ownedNamespace(std::string_view prefix, std::string_view href);
    bool owns(const xmlNs* ns) const;

  private:
    void release();

    xmlDoc* doc_ = nullptr;
    std::unordered_set<xmlNode*> orphans_;
    std::vector<xmlNs*> ownedNamespaces_;
};

// The state of the document `node` belongs to (the node may be the document itself).
DocumentState* stateOf(const xmlNode* node);
xmlDoc* documentOf(const xmlNode* node);

}  // namespace nv::xml::detail
