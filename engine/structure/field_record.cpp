#include "engine/structure/field_record.h"

#include "platform/text/unicode.h"

namespace wscore {

const std::vector<std::unique_ptr<FieldRecord>>* FieldRecord::childrenNamed(
    std::string_view n) const {
    auto it = children_.find(n);
    return it == children_.end() ? nullptr : &it->second;
}

std::vector<std::unique_ptr<FieldRecord>>* FieldRecord::childrenNamed(std::string_view n) {
    auto it = children_.find(n);
    return it == children_.end() ? nullptr : &it->second;
}

FieldRecord* FieldRecord::addUniqueChild(const std::string& name,
                                         std::unique_ptr<FieldRecord> child) {
    if (children_.count(name))
        return nullptr;
    child->parent = this;
    FieldRecord* raw = child.get();
    auto position = childNames_.end();
    if (child->attribute) {
        // Attributes come first, in document order.
        for (auto it = childNames_.begin(); it != childNames_.end(); ++it) {
            const auto& list = children_[*it];
            if (list.empty() || !list.front()->attribute) {
                position = it;
                break;
            }
        }
    }
    childNames_.insert(position, name);
    children_[name].push_back(std::move(child));
    return raw;
}

FieldRecord* FieldRecord::appendChild(const std::string& name, std::unique_ptr<FieldRecord> child) {
    child->parent = this;
    FieldRecord* raw = child.get();
    auto it = children_.find(name);
    if (it == children_.end()) {
        childNames_.push_back(name);
        children_[name].push_back(std::move(child));
    } else {
        it->second.push_back(std::move(child));
    }
    return raw;
}

std::unique_ptr<FieldRecord> FieldRecord::deepCopy() const {
    auto c = std::make_unique<FieldRecord>();
    c->minOccurs = minOccurs;
    c->maxOccurs = maxOccurs;
    c->array = array;
    c->complex = complex;
    c->attribute = attribute;
    c->simpleContent = simpleContent;
    c->info = info;
    c->fieldName = fieldName;
    c->dataType = dataType;
    c->value = value;
    c->description = description;
    c->prefix = prefix;
    c->enumerated = enumerated;
    c->header = header;
    c->abstract = abstract;
    c->baseTypeName = baseTypeName;
    c->recursionStop = recursionStop;
    c->required = required;
    c->matched = matched;
    c->qualified = qualified;
    c->namespaceUri = namespaceUri;
    c->childNames_ = childNames_;
    for (const auto& [name, list] : children_) {
        auto& copies = c->children_[name];
        copies.reserve(list.size());
        for (const auto& child : list) {
            copies.push_back(child->deepCopy());
            copies.back()->parent = c.get();
        }
    }
    return c;
}

void FieldRecord::fillFrom(const SchemaNode& node) {
    std::size_t colon = node.name.rfind(':');
    if (colon != std::string::npos) {
        prefix = node.name.substr(0, colon);
        fieldName = node.name.substr(colon + 1);
    } else {
        fieldName = node.name;
    }
    dataType = node.typeName;
    description = node.description;
    info = node.contentInfo;
    complex = node.complex;
    array = node.array;
    minOccurs = node.minOccurs;
    maxOccurs = node.maxOccurs;
    attribute = node.attribute;
    simpleContent = node.simpleContent;
    header = node.header;
    abstract = node.abstract;
    baseTypeName = node.baseTypeName;
    qualified = node.qualified;
    namespaceUri = node.targetNamespace;
    if (parent && parent->header && !node.minimumGiven)
        required = parent->required;
    else
        required = node.required;
}

void FieldRecord::clearChildren() {
    childNames_.clear();
    children_.clear();
}

namespace {

FlatRecord toFlat(const FieldRecord& r, std::int32_t level) {
    using nv::text::utf8ToUtf16;
    FlatRecord f;
    f.level = level;
    f.arrayMin = r.minOccurs;
    f.arrayMax = r.maxOccurs;
    f.isArray = r.array;
    f.isComplexType = r.complex;
    f.isAttribute = r.attribute;
    f.isSimpleDataField = r.simpleContent;
    f.hasEnumValues = r.enumerated;
    f.isHeader = r.header;
    f.isRequired = r.required;
    f.info = utf8ToUtf16(r.info);
    f.fieldName = utf8ToUtf16(r.fieldName);
    f.dataType = utf8ToUtf16(r.dataType);
    if (r.value)
        f.theData = utf8ToUtf16(*r.value);
    f.description = utf8ToUtf16(r.description);
    f.prefix = utf8ToUtf16(r.prefix);
    return f;
}

}  // namespace

void flatten(const FieldRecord& root, std::int32_t level, std::vector<FlatRecord>& out) {
    // Depth-first without recursion: a stack of (record, level), children pushed in reverse.
    std::vector<std::pair<const FieldRecord*, std::int32_t>> stack{{&root, level}};
    std::vector<const FieldRecord*> kids;
    while (!stack.empty()) {
        auto [r, l] = stack.back();
        stack.pop_back();
        out.push_back(toFlat(*r, l));
        kids.clear();
        for (const std::string& name : r->childNames())
            if (const auto* list = r->childrenNamed(name))
                for (const auto& child : *list)
                    kids.push_back(child.get());
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.emplace_back(*it, l + 1);
    }
}

void flattenReleasing(std::unique_ptr<FieldRecord> root, std::int32_t level,
                      std::vector<FlatRecord>& out) {
    std::vector<std::pair<std::unique_ptr<FieldRecord>, std::int32_t>> stack;
    stack.emplace_back(std::move(root), level);
    std::vector<std::unique_ptr<FieldRecord>> kids;
    while (!stack.empty()) {
        std::unique_ptr<FieldRecord> r = std::move(stack.back().first);
        std::int32_t l = stack.back().second;
        stack.pop_back();
        out.push_back(toFlat(*r, l));
        kids.clear();
        auto& children = r->childrenMutable();
        for (const std::string& name : r->childNames()) {
            auto it = children.find(name);
            if (it == children.end())
                continue;
            for (auto& child : it->second)
                kids.push_back(std::move(child));
        }
        r.reset();
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.emplace_back(std::move(*it), l + 1);
    }
}

std::size_t recordCount(const FieldRecord& root) {
    std::size_t count = 0;
    std::vector<const FieldRecord*> stack{&root};
    while (!stack.empty()) {
        const FieldRecord* r = stack.back();
        stack.pop_back();
        ++count;
        for (const std::string& name : r->childNames())
            if (const auto* list = r->childrenNamed(name))
                for (const auto& child : *list)
                    stack.push_back(child.get());
    }
    return count;
}

}  // namespace wscore
