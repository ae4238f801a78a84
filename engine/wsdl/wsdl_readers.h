// The readers of the top-level WSDL sections: each takes one element and writes what it
// finds into the document model. Namespaces are checked only where WSDL's rules need it.
#pragma once

#include "engine/schema/schema_context.h"
#include "engine/wsdl/wsdl_model.h"
#include "platform/xmldom/node.h"

namespace wscore {

// Where a definitions element's children come from: the main document, or a WSDL document
// it imports (whose own declarations then resolve its prefixes first).
struct DefinitionsScope {
    const PrefixMap* prefixes = nullptr;  // null for the main document
};

void readMessage(DocumentModel& model, const DefinitionsScope& scope, nv::xml::Node message);
void readService(DocumentModel& model, nv::xml::Node service);
void readBinding(DocumentModel& model, nv::xml::Node binding);
void readPortType(DocumentModel& model, nv::xml::Node portType);

// Local part of a QName-valued attribute: the text after the first ":" when that ":" is past
// the first character, else the whole text.
std::string_view localPart(std::string_view qname);

}  // namespace wscore
