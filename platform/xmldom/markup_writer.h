// Serializes libxml2 trees to UTF-8 markup (internal to the DOM; includes libxml2).
//
// The writer fixes namespaces up as it goes: wherever an element or attribute is in a
// namespace the markup has not bound to its prefix (nodes built or moved through the API), it
// adds the declaration, so the output always reads back with the same namespaces. It never
// recurses per level.
#pragma once

#include <string>

#include <libxml/tree.h>

namespace nv::xml::detail {

// The node and everything inside; an element also declares every namespace in scope from its
// ancestors, so the fragment stands alone.
std::string markupOf(const xmlNode* node);

// "<?xml version="1.0" encoding="UTF-8"?>", then each top-level node on its own line.
std::string documentMarkup(const xmlDoc* doc);

}  // namespace nv::xml::detail
