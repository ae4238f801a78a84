#include "engine/wsdl/namespace_registry.h"

#include "engine/wsdl/wsdl_namespaces.h"

namespace wscore {

void NamespaceRegistry::add(const std::string& uri, const std::string& prefix) {
    entries_[uri].push_back(prefix);
    auto it = firstUriOfPrefix_.find(prefix);
    if (it == firstUriOfPrefix_.end())
        firstUriOfPrefix_.emplace(prefix, uri);
    else if (uri < it->second)
        it->second = uri;
}

std::string_view NamespaceRegistry::canonicalPrefix(std::string_view uri) const {
    if (uri == ns::kXmlSchema)
        return {};
    auto it = entries_.find(uri);
    if (it == entries_.end() || it->second.empty())
        return {};
    return it->second.front();
}

std::string_view NamespaceRegistry::uriOfPrefix(std::string_view prefix) const {
    auto it = firstUriOfPrefix_.find(prefix);
    return it == firstUriOfPrefix_.end() ? std::string_view() : std::string_view(it->second);
}

void NamespaceRegistry::clear() {
    entries_.clear();
    firstUriOfPrefix_.clear();
}

}  // namespace wscore
