#include "engine/structure/expansion.h"

#include "engine/schema/encoded_arrays.h"

namespace wscore {

bool hasMemberNodes(const SchemaNode& node) {
    if (node.enumerated)
        return false;  // its member names are enumeration values
    for (const std::string& key : node.memberNames())
        if (node.member(key))
            return true;
    return false;
}

namespace {

std::string_view afterLastColon(std::string_view s) {
    std::size_t colon = s.rfind(':');
    return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

std::string_view beforeFirstColon(std::string_view s) {
    std::size_t colon = s.find(':');
    return colon == std::string_view::npos ? std::string_view() : s.substr(0, colon);
}

bool typeRepeatsAncestor(const FieldRecord& r, std::string_view type) {
    for (const FieldRecord* a = &r; a; a = a->parent)
        if (a->dataType == type)
            return true;
    return false;
}

}  // namespace

std::unique_ptr<FieldRecord> Expander::newRecord() {
    ++created_;
    return std::make_unique<FieldRecord>();
}

std::string Expander::derivedTypeList(const std::string& typeName, bool isAbstract) const {
    auto it = derived_.find(typeName);
    if (it == derived_.end())
        return {};
    std::string out;
    if (!isAbstract)
        out = typeName + "|";
    for (std::size_t i = 0; i < it->second.size(); ++i) {
        if (i)
            out += '|';
        out += it->second[i];
    }
    return out;
}

void Expander::copyEnumeration(FieldRecord& r, const SchemaNode& enumerated) const {
    if (direction_ == kDirectionOutput)
        return;
    std::string joined;
    for (std::size_t i = 0; i < enumerated.memberNames().size(); ++i) {
        if (i)
            joined += '|';
        joined += enumerated.memberNames()[i];
    }
    r.info = std::move(joined);
    r.enumerated = true;
}

void Expander::expand(FieldRecord& r, const SchemaNode& q, std::string_view stopType) {
    int depth = 0;
    for (const FieldRecord* a = r.parent; a; a = a->parent)
        ++depth;
    expandAt(r, q, stopType, depth);
}

void Expander::expandAt(FieldRecord& r, const SchemaNode& q, std::string_view stopType, int depth) {
    if (depth >= kMaxRecordDepth || !budgetLeft()) {
        r.recursionStop = true;
        return;
    }
    if (q.encodedArray && r.info.empty())
        r.info = templateShape(q);
    if (hasMemberNodes(q)) {
        memberLoop(r, q, stopType, depth);
    } else {
        const SchemaNode* s = types_.memberNode(q.typeName);
        if (q.array && s && s != &q && s->encodedArray && hasMemberNodes(*s)) {
            // An element of an encoded array type that spells its items out: the element is
            // the array, with the type's item member under it, as a part of that type is.
            expandAt(r, *s, {}, depth);
        } else if (q.array) {
            arrayItems(r, q.name, q.typeName, q.dimensions, s, stopType, depth);
        } else if (!s) {
            if (r.complex && r.baseTypeName.empty()) {
                r.complex = false;
                r.dataType = q.typeName;
                r.info = q.contentInfo;
            }
        } else if (s->enumerated) {
            copyEnumeration(r, *s);
            r.dataType = s->typeName;
        } else if (s != &q && (hasMemberNodes(*s) || s->typeName == q.typeName)) {
            // A type that resolves to itself has no members: that chain ends here.
            expandAt(r, *s, {}, depth);
        }
    }
    if (!r.baseTypeName.empty() && !q.elementDeclaration) {
        const SchemaNode* base = types_.memberNode(r.baseTypeName);
        if (base && base != &q && hasMemberNodes(*base))
            memberLoop(r, *base, stopType, depth);
    }
}

void Expander::memberLoop(FieldRecord& r, const SchemaNode& q, std::string_view stopType,
                          int depth) {
    for (const std::string& key : q.memberNames()) {
        const SchemaNode* v = q.memberNode(key);
        if (!v)
            continue;
        auto owned = newRecord();
        owned->parent = &r;
        owned->fillFrom(*v);
        if (!r.prefix.empty() && owned->prefix.empty()) {
            std::string_view typePrefix = beforeFirstColon(q.name);
            if (!(typePrefix == r.prefix && r.header))
                owned->prefix = std::string(typePrefix);
        }
        std::string childName(afterLastColon(key));
        FieldRecord* c = r.addUniqueChild(childName, std::move(owned));
        if (!c)
            continue;  // one record per child name: the first one stays

        bool repeatsType =
            stopType.empty() ? typeRepeatsAncestor(r, c->dataType) : c->dataType == stopType;
        if (repeatsType || !budgetLeft()) {
            c->recursionStop = true;
            continue;
        }
        expandMember(*c, *v, stopType, depth);
    }
}

void Expander::expandAsMember(FieldRecord& c, const SchemaNode& v) {
    int depth = 0;
    for (const FieldRecord* a = c.parent; a; a = a->parent)
        ++depth;
    expandMember(c, v, {}, depth);
}

void Expander::expandMember(FieldRecord& c, const SchemaNode& v, std::string_view stopType,
                            int depth) {
    const SchemaNode* s = types_.memberNode(v.typeName);
    if (v.array && v.arrayFromType && s && s != &v && s->encodedArray && hasMemberNodes(*s)) {
        // An element of an encoded array type that spells its items out is that array: its
        // items go under the type's item member, as they do under a part of that type.
        expandAt(c, *s, stopType, depth + 1);
        return;
    }
    if (v.array) {
        if (hasMemberNodes(v)) {
            for (const std::string& mk : v.memberNames()) {
                const SchemaNode* m = v.memberNode(mk);
                if (!m)
                    continue;
                int dims = m->dimensions > 0 ? m->dimensions : v.dimensions;
                arrayItems(c, m->name, m->typeName, dims, types_.memberNode(m->typeName), stopType,
                           depth + 1);
            }
        } else {
            arrayItems(c, v.name, v.typeName, v.dimensions, s, stopType, depth + 1);
        }
        return;
    }
    if (!s)
        return;
    if (s->enumerated) {
        copyEnumeration(c, *s);
        c.dataType = s->typeName;
        return;
    }
    std::string list = derivedTypeList(s->name, s->abstract);
    if (!list.empty())
        c.info = std::move(list);
    if (!s->abstract)
        expandAt(c, *s, stopType, depth + 1);
    c.dataType = s->typeName;
}

void Expander::arrayItems(FieldRecord& a, const std::string& name, const std::string& typeName,
                          int dimensions, const SchemaNode* s, std::string_view stopType,
                          int depth) {
    if (depth >= kMaxRecordDepth || !budgetLeft()) {
        a.recursionStop = true;
        return;
    }
    std::size_t colon = name.rfind(':');
    std::string namePrefix = colon == std::string::npos ? std::string() : name.substr(0, colon);
    std::string itemName = colon == std::string::npos ? name : name.substr(colon + 1);

    if (s && s->encodedArray && hasMemberNodes(*s)) {
        encodedArrayItem(a, itemName, namePrefix, typeName, *s, stopType, depth);
        return;
    }
    std::string itemType = typeName;
    const SchemaNode* itemNode = s;
    for (int hops = 0; itemNode && itemNode->array && hops < kMaxRecordDepth; ++hops) {
        itemType = itemNode->typeName;
        const SchemaNode* next = types_.memberNode(itemType);
        if (!next || next == itemNode)
            break;
        itemNode = next;
    }
    std::string itemTypeLocal(afterLastColon(itemType));

    auto owned = newRecord();
    owned->fieldName = itemName;
    // An item is an occurrence of its array's element: it is qualified as the array is.
    owned->qualified = a.qualified;
    owned->namespaceUri = a.namespaceUri;
    FieldRecord* i = a.addUniqueChild(itemName, std::move(owned));
    if (!i)
        return;
    for (int k = 1; k < dimensions; ++k) {
        i->dataType = itemTypeLocal;
        i->fieldName = itemName;
        i->prefix = namePrefix;
        i->array = true;
        auto inner = newRecord();
        inner->fieldName = itemName;
        inner->qualified = a.qualified;
        inner->namespaceUri = a.namespaceUri;
        FieldRecord* next = i->addUniqueChild(itemName, std::move(inner));
        if (!next)
            return;
        i = next;
    }
    if (itemNode && itemNode->complex) {
        i->fillFrom(*itemNode);
        i->fieldName = itemName;
        i->qualified = a.qualified;
        i->namespaceUri = a.namespaceUri;
        if (itemNode->enumerated) {
            copyEnumeration(*i, *itemNode);
            i->dataType = itemNode->typeName;
            return;
        }
        std::string list = derivedTypeList(itemNode->name, itemNode->abstract);
        if (!list.empty())
            i->info = std::move(list);
        if (!itemNode->abstract)
            expandAt(*i, *itemNode, stopType, depth + 1);
        i->dataType = itemNode->typeName;
        return;
    }
    i->dataType = itemTypeLocal;
    i->fieldName = itemName;
    i->prefix = namePrefix;
    if (s && s->enumerated)
        copyEnumeration(*i, *s);
}

// The items of an array of encoded arrays are arrays themselves: each keeps its array type
// (not the type of its own items) so that it is written and read as an array of its own.
void Expander::encodedArrayItem(FieldRecord& a, const std::string& itemName,
                                const std::string& namePrefix, const std::string& typeName,
                                const SchemaNode& arrayType, std::string_view stopType, int depth) {
    auto owned = newRecord();
    owned->fieldName = itemName;
    owned->prefix = namePrefix;
    owned->dataType = typeName;
    owned->array = true;
    owned->complex = true;
    owned->qualified = a.qualified;
    owned->namespaceUri = a.namespaceUri;
    FieldRecord* i = a.addUniqueChild(itemName, std::move(owned));
    if (i)
        expandAt(*i, arrayType, stopType, depth + 1);
}

}  // namespace wscore
