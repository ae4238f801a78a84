#include "engine/schema/schema_node.h"

namespace wscore {

SchemaNode::~SchemaNode() = default;

std::unique_ptr<SchemaNode> SchemaNode::copy() const {
    auto c = std::make_unique<SchemaNode>(name);
    c->description = description;
    c->namespaceUri = namespaceUri;
    c->typeName = typeName;
    c->direction = direction;
    c->complex = complex;
    c->required = required;
    c->minimumGiven = minimumGiven;
    c->array = array;
    c->minOccurs = minOccurs;
    c->maxOccurs = maxOccurs;
    c->attribute = attribute;
    c->enumerated = enumerated;
    c->dimensions = dimensions;
    c->header = header;
    c->simpleContent = simpleContent;
    c->contentInfo = contentInfo;
    c->list = list;
    c->abstract = abstract;
    c->baseTypeName = baseTypeName;
    c->parent = parent;
    c->elementDeclaration = elementDeclaration;
    c->repeatingGroup = repeatingGroup;
    c->qualified = qualified;
    c->targetNamespace = targetNamespace;
    c->encodedArray = encodedArray;
    c->rank = rank;
    c->arrayFromType = arrayFromType;
    return c;
}

SchemaNode* addNode(ModelContainer& container, std::unique_ptr<SchemaNode> node) {
    SchemaNode* raw = node.get();
    std::string key = node->name;
    std::unique_ptr<ModelContainer> owned = std::move(node);
    if (container.addMember(key, owned) && !owned)
        return raw;
    return nullptr;
}

}  // namespace wscore
