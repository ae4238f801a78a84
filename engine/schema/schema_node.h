// One node of the schema model: a declaration (element, attribute), a type definition, a
// message part or an operation member. Its members are the declarations of its content.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/wsdl/model_container.h"

namespace wscore {

class SchemaNode : public ModelContainer {
  public:
    SchemaNode() = default;
    explicit SchemaNode(std::string n) : ModelContainer(std::move(n)) {}
    ~SchemaNode() override;

    // A copy of every field, the name and the description, but not the members.
    std::unique_ptr<SchemaNode> copy() const;

    std::string typeName;
    std::int32_t direction = 0;  // operation members: -1 input, 0 output (1 both)
    bool complex = false;
    bool required = true;
    bool minimumGiven = false;
    bool array = false;
    std::int32_t minOccurs = 0;
    std::int32_t maxOccurs = 0;  // "unbounded" and absent both leave 0
    bool attribute = false;
    bool enumerated = false;  // the values are in memberNames(), without member objects
    std::int32_t dimensions = 0;
    bool header = false;
    bool simpleContent = false;
    std::string contentInfo;  // "type:", "mediaType:" or "documentType:" + value
    bool list = false;
    bool abstract = false;
    std::string baseTypeName;
    SchemaNode* parent = nullptr;  // the node this declaration was created as a member of
    bool elementDeclaration = false;
    bool repeatingGroup = false;
    // How the declaration appears in instance documents: whether its name is namespace-
    // qualified, and in which namespace (the schema's target namespace when qualified).
    bool qualified = false;
    std::string targetNamespace;
    // A SOAP-encoded array type (a restriction of the encoding's Array): its instances are
    // written with SOAP-ENC:arrayType, whatever the records look like.
    bool encodedArray = false;
    // Its rank as the declaration's brackets give it: 2 for "xsd:int[,]". Such an array is one
    // level of records whatever its rank; its items travel in row-major order.
    std::int32_t rank = 1;
    // An element that is an array only because its type is one (it does not repeat itself).
    bool arrayFromType = false;

    SchemaNode* memberNode(std::string_view key) const { return memberAs<SchemaNode>(key); }
};

// The connection's table of named types, top-level elements and named anonymous types.
using TypesTable = SchemaNode;

// Base type name -> the complex types that extend it directly, in reading order.
using DerivedTypeRegistry = std::map<std::string, std::vector<std::string>, std::less<>>;

// Adds `node` to `container` under its own name; returns the stored node, or null when the
// name was taken (then `node` is destroyed).
SchemaNode* addNode(ModelContainer& container, std::unique_ptr<SchemaNode> node);

}  // namespace wscore
