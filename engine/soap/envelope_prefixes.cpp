#include "engine/soap/envelope_prefixes.h"

#include <algorithm>

#include "engine/wsdl/wsdl_namespaces.h"

namespace wscore {

EnvelopePrefixes::EnvelopePrefixes(const NamespaceRegistry& namespaces,
                                   std::string_view envelopePrefix, std::string_view envelopeUri) {
    const std::vector<std::pair<std::string, std::string>> own = {
        {std::string(envelopePrefix), std::string(envelopeUri)},
        {"xsi", std::string(ns::kXmlSchemaInstance)},
        {"xsd", std::string(ns::kXmlSchema)},
        {"SOAP-ENC", std::string(ns::kSoapEncoding)},
    };
    // The envelope's own prefix is bound by the envelope start tag already.
    declared_.insert(std::string(envelopePrefix));
    for (const auto& [uri, prefixes] : namespaces.entries()) {
        if (prefixes.empty())
            continue;
        std::string prefix = prefixes.front();
        if (prefix == "targetNamespace" || prefix == "xml" || prefix == "xmlns")
            continue;
        auto reserved = std::find_if(own.begin(), own.end(),
                                     [&](const auto& binding) { return binding.first == prefix; });
        if (reserved != own.end()) {
            if (reserved->second == uri)
                continue;  // declared below, as the envelope needs it
            std::string fresh = freshPrefix(prefix, namespaces);
            renamed_.emplace(prefix, fresh);
            prefix = fresh;
        }
        // One element cannot declare a prefix twice: the first namespace keeps it.
        if (!declared_.insert(prefix).second)
            continue;
        declarations_.push_back({prefix, uri});
        if (prefix.empty() && !uri.empty())
            defaultDeclared_ = true;
    }
    for (const auto& [prefix, uri] : own) {
        if (prefix != envelopePrefix && declared_.insert(prefix).second)
            declarations_.push_back({prefix, uri});
    }
}

std::string EnvelopePrefixes::freshPrefix(const std::string& base,
                                          const NamespaceRegistry& namespaces) const {
    for (int n = 1;; ++n) {
        std::string candidate = base + std::to_string(n);
        if (declared_.count(candidate) || !namespaces.uriOfPrefix(candidate).empty())
            continue;
        bool taken = false;
        for (const auto& [from, to] : renamed_)
            taken = taken || to == candidate;
        if (!taken && candidate != "SOAP-ENC" && candidate != "xsi" && candidate != "xsd")
            return candidate;
    }
}

std::string EnvelopePrefixes::prefix(std::string_view documentPrefix) const {
    auto it = renamed_.find(documentPrefix);
    return it == renamed_.end() ? std::string(documentPrefix) : it->second;
}

std::string EnvelopePrefixes::qname(std::string_view name) const {
    std::size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return std::string(name);
    return prefix(name.substr(0, colon)) + std::string(name.substr(colon));
}

}  // namespace wscore
