#include "platform/xmldom/namespace_scope.h"

#include <algorithm>
#include <cstddef>
#include <unordered_set>

#include "platform/xmldom/document_state.h"
#include "platform/xmldom/xml_chars.h"

namespace nv::xml::detail {

namespace {

bool binds(const xmlNs* ns, std::string_view prefix) {
    return ns && ns->href && view(ns->prefix) == prefix;
}

// Calls visit(ns) for each binding `element` contributes, declarations first; stops early
// when visit returns true and reports whether it did.
template <typename Visit>
bool forEachBinding(const xmlNode* element, Visit&& visit) {
    for (const xmlNs* ns = element->nsDef; ns; ns = ns->next) {
        if (visit(ns))
            return true;
    }
    if (element->ns && visit(element->ns))
        return true;
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
        if (attr->ns && visit(attr->ns))
            return true;
    }
    return false;
}

// Next node of `root`'s subtree in document order, or null after the last.
xmlNode* nextInSubtree(xmlNode* node, const xmlNode* root) {
    if (node->type == XML_ELEMENT_NODE && node->children)
        return node->children;
    while (node != root) {
        if (node->next)
            return node->next;
        node = node->parent;
    }
    return nullptr;
}

}  // namespace

const xmlNs* findBinding(const xmlNode* node, std::string_view prefix) {
    for (const xmlNode* cur = node; cur; cur = cur->parent) {
        if (cur->type != XML_ELEMENT_NODE)
            continue;
        const xmlNs* found = nullptr;
        forEachBinding(cur, [&](const xmlNs* ns) {
            if (!binds(ns, prefix))
                return false;
            found = ns;
            return true;
        });
        if (found)
            return found;
    }
    return nullptr;
}

std::vector<Binding> inheritedBindings(const xmlNode* element) {
    struct Found {
        Binding binding;
        std::size_t level;  // of the outermost ancestor binding it the same way (0: the parent)
        std::size_t order;  // within that ancestor
        bool settled;       // a further ancestor binds the prefix differently
    };
    std::vector<Found> found;
    std::size_t level = 0;
    for (const xmlNode* cur = element->parent; cur; cur = cur->parent, ++level) {
        if (cur->type != XML_ELEMENT_NODE)
            continue;
        std::size_t order = 0;
        forEachBinding(cur, [&](const xmlNs* ns) {
            std::string_view prefix = view(ns->prefix);
            std::string_view href = view(ns->href);
            ++order;
            if (!ns->href || prefix == "xml")
                return false;
            auto same = std::find_if(found.begin(), found.end(),
                                     [&](const Found& f) { return f.binding.prefix == prefix; });
            if (same == found.end()) {
                found.push_back({{prefix, href}, level, order, false});
            } else if (same->binding.href != href) {
                same->settled = true;
            } else if (!same->settled && same->level < level) {
                // A name using a declaration from further up: order by the declaration.
                same->level = level;
                same->order = order;
            }
            return false;
        });
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.level != b.level ? a.level > b.level : a.order < b.order;
    });
    std::vector<Binding> result;
    result.reserve(found.size());
    for (const Found& f : found) {
        // An undeclared default namespace needs no declaration at the top of a fragment.
        if (f.binding.prefix.empty() && f.binding.href.empty())
            continue;
        result.push_back(f.binding);
    }
    return result;
}

void detachNamespaceReferences(DocumentState& state, xmlNode* subtree) {
    if (subtree->type != XML_ELEMENT_NODE)
        return;
    std::unordered_set<const xmlNs*> inside;
    for (xmlNode* node = subtree; node; node = nextInSubtree(node, subtree)) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        for (const xmlNs* ns = node->nsDef; ns; ns = ns->next)
            inside.insert(ns);
    }
    auto repoint = [&](xmlNs*& ns) {
        if (!ns || inside.count(ns) || state.owns(ns) || view(ns->href) == kXmlNamespace)
            return;
        if (xmlNs* owned = state.ownedNamespace(view(ns->prefix), view(ns->href)))
            ns = owned;
    };
    for (xmlNode* node = subtree; node; node = nextInSubtree(node, subtree)) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        repoint(node->ns);
        for (xmlAttr* attr = node->properties; attr; attr = attr->next)
            repoint(attr->ns);
    }
}

}  // namespace nv::xml::detail
