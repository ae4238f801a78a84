#include "engine/structure/message_structures.h"

#include "engine/structure/expansion.h"
#include "platform/text/unicode.h"

namespace wscore {

std::vector<std::unique_ptr<FieldRecord>> buildMessageTree(const DocumentModel& model,
                                                           const WsdlOperation& op, int direction) {
    std::vector<std::unique_ptr<FieldRecord>> roots;
    Expander expander(model.types, model.derivedTypes, direction);
    for (const std::string& key : op.memberNames()) {
        const SchemaNode* m = op.memberNode(key);
        if (!m || m->name.empty())
            continue;
        if (m->direction != direction && m->direction != kDirectionBoth)
            continue;
        auto root = std::make_unique<FieldRecord>();
        root->fillFrom(*m);
        // A part is named by its element (qualified) or is an accessor of the message.
        root->qualified = m->elementDeclaration || m->header;
        root->namespaceUri = m->namespaceUri;
        const SchemaNode* entry = model.types.memberNode(m->typeName);
        if (entry) {
            if (m->complex) {
                std::string list = expander.derivedTypeList(entry->name, entry->abstract);
                if (!list.empty())
                    root->info = std::move(list);
                if (!entry->abstract)
                    expander.expand(*root, *entry);
            } else {
                if (entry->enumerated)
                    expander.copyEnumeration(*root, *entry);
                root->dataType = entry->typeName;
            }
        }
        roots.push_back(std::move(root));
    }
    return roots;
}

std::unique_ptr<FieldRecord> buildTypeTree(const DocumentModel& model,
                                           std::u16string_view elementName,
                                           std::string_view typeName) {
    auto record = std::make_unique<FieldRecord>();
    const SchemaNode* entry = model.types.memberNode(typeName);
    if (!entry)
        return record;
    record->fillFrom(*entry);
    record->fieldName = nv::text::utf16ToUtf8(elementName);
    record->dataType = std::string(typeName);
    Expander expander(model.types, model.derivedTypes, kDirectionInput);
    expander.expand(*record, *entry);
    return record;
}

std::vector<FlatRecord> flattenAll(const std::vector<std::unique_ptr<FieldRecord>>& roots,
                                   std::int32_t level) {
    // Sized first: a response of a million fields would otherwise be moved several times over.
    std::size_t total = 0;
    for (const auto& root : roots)
        total += recordCount(*root);
    std::vector<FlatRecord> out;
    out.reserve(total);
    for (const auto& root : roots)
        flatten(*root, level, out);
    return out;
}

std::vector<FlatRecord> flattenAll(std::vector<std::unique_ptr<FieldRecord>>&& roots,
                                   std::int32_t level) {
    std::size_t total = 0;
    for (const auto& root : roots)
        total += recordCount(*root);
    std::vector<FlatRecord> out;
    out.reserve(total);
    for (auto& root : roots)
        flattenReleasing(std::move(root), level, out);
    roots.clear();
    return out;
}

}  // namespace wscore
