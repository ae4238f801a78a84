#include "engine/schema/encoded_arrays.h"

namespace wscore {

namespace {

// Arrays of arrays of arrays... are written out in full; a declaration that leads back to
// itself stops here.
constexpr int kMaxNesting = 16;

const SchemaNode* followToEncodedArray(const TypesTable& types, std::string_view name) {
    const SchemaNode* node = types.memberNode(name);
    for (int hops = 0; node && hops < kMaxNesting; ++hops) {
        if (node->encodedArray)
            return node;
        if (node->typeName.empty() || node->typeName == name)
            return nullptr;
        name = node->typeName;
        node = types.memberNode(name);
    }
    return nullptr;
}

std::string brackets(std::int32_t rank) {
    return "[" + std::string(rank > 1 ? static_cast<std::size_t>(rank - 1) : 0, ',') + "]";
}

std::string itemTypeAt(const TypesTable& types, const SchemaNode& arrayType, int depth) {
    std::string suffix;
    for (int d = 1; d < arrayType.dimensions; ++d)
        suffix += "[]";
    const std::string& name = arrayType.typeName;
    if (depth < kMaxNesting) {
        const SchemaNode* inner = followToEncodedArray(types, name);
        if (inner && inner != &arrayType)
            return itemTypeAt(types, *inner, depth + 1) + brackets(inner->rank) + suffix;
    }
    if (name.empty())
        return "xsd:anyType" + suffix;
    // Built-in types are kept without their prefix in the model.
    return (name.find(':') == std::string::npos ? "xsd:" + name : name) + suffix;
}

}  // namespace

const SchemaNode* encodedArrayType(const TypesTable& types, std::string_view name) {
    if (name.empty())
        return nullptr;
    return followToEncodedArray(types, name);
}

std::string itemMemberName(const SchemaNode& arrayType) {
    for (const std::string& key : arrayType.memberNames()) {
        const SchemaNode* m = arrayType.memberNode(key);
        if (!m || m->attribute || !m->array)
            continue;
        std::size_t colon = key.rfind(':');
        return colon == std::string::npos ? key : key.substr(colon + 1);
    }
    return {};
}

std::string arrayItemType(const TypesTable& types, const SchemaNode& arrayType) {
    return itemTypeAt(types, arrayType, 0);
}

std::string templateShape(const SchemaNode& arrayType) {
    if (arrayType.rank < 2)
        return {};
    std::string shape = "1";
    for (std::int32_t d = 1; d < arrayType.rank; ++d)
        shape += ",1";
    return shape;
}

}  // namespace wscore
