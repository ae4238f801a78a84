// Prefixes declared for each namespace URI across the documents of one load. Names written
// with different prefixes for one namespace normalise to the same canonical prefix (the first
// declared), which is what lets lookups work across documents.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/wsdl/model_container.h"

namespace wscore {

class NamespaceRegistry {
  public:
    // Appends `prefix` to the URI's list (duplicates kept).
    void add(const std::string& uri, const std::string& prefix);
    // First prefix declared for the URI; empty for an unknown URI and for XML Schema.
    std::string_view canonicalPrefix(std::string_view uri) const;
    // The first URI, in sorted order, whose list holds `prefix`; empty when none does.
    std::string_view uriOfPrefix(std::string_view prefix) const;
    // URI -> prefixes, in sorted URI order.
    const std::map<std::string, std::vector<std::string>, std::less<>>& entries() const {
        return entries_;
    }
    void clear();

  private:
    std::map<std::string, std::vector<std::string>, std::less<>> entries_;
    // prefix -> smallest URI holding it, kept in step with entries_.
    std::unordered_map<std::string, std::string, StringHash, std::equal_to<>> firstUriOfPrefix_;
};

}  // namespace wscore
