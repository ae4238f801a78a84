// The namespace declarations a request envelope carries: the document's namespaces, each under
// its first prefix, and the four bindings the envelope itself relies on (its own prefix,
// SOAP-ENC, xsi and xsd). A document that binds one of those four prefixes to another
// namespace (gSOAP's WSDLs for SOAP 1.2 bind SOAP-ENV and SOAP-ENC so) has that binding
// declared under a fresh prefix, and every name written from the document is rewritten to it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/wsdl/namespace_registry.h"

namespace wscore {

class EnvelopePrefixes {
  public:
    struct Declaration {
        std::string prefix;
        std::string uri;
    };

    EnvelopePrefixes(const NamespaceRegistry& namespaces, std::string_view envelopePrefix,
                     std::string_view envelopeUri);

    // Everything to declare on the envelope, in order; each prefix once.
    const std::vector<Declaration>& declarations() const { return declarations_; }
    // Whether the document's default namespace is among them.
    bool defaultDeclared() const { return defaultDeclared_; }
    // The prefixes declared on the envelope.
    const std::set<std::string>& declared() const { return declared_; }

    // A document prefix as the envelope writes it.
    std::string prefix(std::string_view documentPrefix) const;
    // A QName ("p:local", or "p:local[2]") with its prefix as the envelope writes it.
    std::string qname(std::string_view name) const;

  private:
    std::string freshPrefix(const std::string& base, const NamespaceRegistry& namespaces) const;

    std::vector<Declaration> declarations_;
    std::set<std::string> declared_;
    std::map<std::string, std::string, std::less<>> renamed_;
    bool defaultDeclared_ = false;
};

}  // namespace wscore
