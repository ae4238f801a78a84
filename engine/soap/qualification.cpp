#include "engine/soap/qualification.h"

#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"
#include "platform/text/unicode.h"

namespace wscore {

namespace {

// The schema record a client record stands for among `candidates` (roots, or a parent's
// children): by field name, or the item template of an array.
const FieldRecord* match(const std::vector<const FieldRecord*>& candidates,
                         const std::string& name) {
    for (const FieldRecord* c : candidates)
        if (c->fieldName == name)
            return c;
    return nullptr;
}

std::vector<const FieldRecord*> childrenOf(const FieldRecord& r) {
    std::vector<const FieldRecord*> out;
    for (const std::string& n : r.childNames())
        if (const auto* list = r.childrenNamed(n))
            for (const auto& c : *list)
                out.push_back(c.get());
    return out;
}

}  // namespace

std::vector<Qualification> qualifyRecords(const DocumentModel& model, const WsdlOperation& op,
                                          const std::vector<FlatRecord>& records) {
    std::vector<Qualification> out(records.size());
    std::vector<std::unique_ptr<FieldRecord>> roots = buildMessageTree(model, op, kDirectionInput);
    std::vector<const FieldRecord*> rootPointers;
    for (const auto& r : roots)
        rootPointers.push_back(r.get());

    // matched[level] is the schema record matched at that depth on the current path.
    std::vector<const FieldRecord*> matched;
    Expander onDemand(model.types, model.derivedTypes, kDirectionInput);
    std::vector<std::unique_ptr<FieldRecord>> expandedOnDemand;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const FlatRecord& r = records[i];
        if (r.level < 1)
            continue;
        std::size_t depth = static_cast<std::size_t>(r.level);
        matched.resize(depth - 1 < matched.size() ? depth - 1 : matched.size());
        const FieldRecord* m = nullptr;
        std::string name = nv::text::utf16ToUtf8(r.fieldName);
        if (depth == 1) {
            m = match(rootPointers, name);
        } else if (matched.size() == depth - 1 && matched.back()) {
            const FieldRecord* parent = matched.back();
            if (!parent->hasChildren() && parent->recursionStop) {
                // A recursion stop the client expanded: expand a copy here to follow it.
                auto copy = parent->deepCopy();
                if (const SchemaNode* type = model.types.memberNode(parent->dataType))
                    onDemand.expand(*copy, *type);
                parent = copy.get();
                matched.back() = parent;
                expandedOnDemand.push_back(std::move(copy));
            }
            m = match(childrenOf(*parent), name);
        }
        matched.push_back(m);
        if (!m)
            continue;
        if (m->qualified && !m->namespaceUri.empty())
            out[i] = {Qualification::Qualified, m->namespaceUri};
        else if (!m->qualified)
            out[i] = {Qualification::Unqualified, {}};
    }
    return out;
}

}  // namespace wscore
