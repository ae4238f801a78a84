#include "workbench/core/editing/tree_editor.h"

#include <QHash>

#include "workbench/core/tree/kb_index.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

namespace {

bool hasDataReference(const TNVTreeNode* node) {
    return !std::holds_alternative<std::monostate>(node->data());
}

// The next node in pre-order, or null after the last.
TNVTreeNode* nextInTree(TNVTreeNode* node) {
    if (node->hasChildren())
        return node->firstChild();
    for (TNVTreeNode* n = node; n; n = n->parent()) {
        TNVTreeNode* parent = n->parent();
        if (parent && n->row() + 1 < parent->childCount())
            return parent->child(n->row() + 1);
    }
    return nullptr;
}

}  // namespace

TNVTreeNode* TreeEditor::inputNodeOf(TNVTreeNode* node) {
    for (; node; node = node->parent())
        if (node->kind() == NodeKind::InputMessage)
            return node;
    return nullptr;
}

bool TreeEditor::isEditableValue(const TNVTreeNode* node) {
    return node && node->kind() == NodeKind::Value &&
           inputNodeOf(const_cast<TNVTreeNode*>(node)) != nullptr;
}

bool TreeEditor::isDateTimeValue(const TNVTreeNode* node) {
    return isEditableValue(node) && node->parent() &&
           node->parent()->message().dataType() == QLatin1String("dateTime");
}

void TreeEditor::commitValue(TNVTreeNode* valueNode, const QString& text) {
    if (!isEditableValue(valueNode))
        return;
    valueNode->setCaption(text);
    valueNode->parent()->message().setTheData(text);
    ctx_.tree.changed(valueNode);
}

std::optional<ChoiceList> TreeEditor::choiceListFor(const TNVTreeNode* node) const {
    if (!node || !hasDataReference(node) || node->DatePicked || node->level() <= 2)
        return std::nullopt;
    const IOMessageRef record =
        node->HasEnumList && node->parent() ? node->parent()->message() : node->message();
    if (!record)
        return std::nullopt;
    const QString info = record.info();
    if (!info.contains(QLatin1Char('|')) || (record.hasEnumValues() && !node->HasEnumList))
        return std::nullopt;
    ChoiceList list;
    for (const QString& piece : info.split(QLatin1Char('|')))
        list.items.append(piece.trimmed());
    qsizetype chosen = list.items.indexOf(node->SelectedType);
    if (chosen < 0 && node->HasEnumList)
        chosen = list.items.indexOf(node->caption());
    list.preselected = chosen < 0 ? 0 : static_cast<int>(chosen);
    return list;
}

void TreeEditor::applyChoice(TNVTreeNode* node, const QString& text) {
    if (!node)
        return;
    if (node->HasEnumList) {
        node->setCaption(text);
        node->parent()->message().setTheData(text);
        ctx_.tree.changed(node);
        return;
    }
    chooseType(node, text);
}

bool TreeEditor::chooseType(TNVTreeNode* structure, const QString& typeName) {
    structure->SelectedType = typeName;
    IOMessageArray typeRecords;
    QString errorText;
    try {
        ctx_.control.GetInputStructureOfAType(structure->caption(), structure->level() - 2,
                                              typeName, typeRecords, errorText);
    } catch (const std::exception&) {
        ctx_.state.lastEngineError = errorText;
        ctx_.status.setStatus(QStringLiteral("Replace element failed."));
        return false;
    }
    return replaceStructure(structure, typeRecords);
}

bool TreeEditor::replaceStructure(TNVTreeNode* structure, const IOMessageArray& typeRecords) {
    TNVTreeNode* input = inputNodeOf(structure);
    const IOMessageRef record = structure->message();
    if (!input || !input->messageArray() || !record) {
        ctx_.status.setStatus(QStringLiteral("Replace element failed."));
        return false;
    }
    std::vector<IOMessageRef> records = recordsOf(*input->messageArray());
    const auto index = findRecord(records, record);
    if (!index) {
        ctx_.status.setStatus(QStringLiteral("Replace element failed."));
        return false;
    }
    // The element keeps its record; only its type and the fields below it change.
    record.setDataType(structure->SelectedType);
    const qsizetype colon = structure->SelectedType.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        record.setPrefix(structure->SelectedType.left(colon));
    const std::size_t end = endOfDescendants(records, *index);
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(*index + 1),
                  records.begin() + static_cast<std::ptrdiff_t>(end));
    const std::vector<IOMessageRef> replacement = recordsOf(typeRecords);
    if (replacement.size() > 1)
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(*index + 1),
                       replacement.begin() + 1, replacement.end());
    const QString parentCaption = structure->parent()->caption();
    rebuildInput(input, records, parentCaption, record.fieldName(), record.level());
    return true;
}

void TreeEditor::refuse(const QString& message) {
    ctx_.status.setStatus(QStringLiteral("Add New Array Element Canceled"));
    ctx_.messages.showMessage(message);
}

bool TreeEditor::addArrayElement(TNVTreeNode* selected, int count) {
    if (!selected) {
        refuse(QStringLiteral("You must first select an array on the tree."));
        return false;
    }
    TNVTreeNode* input = inputNodeOf(selected);
    const bool fieldKind =
        selected->kind() == NodeKind::Structure || selected->kind() == NodeKind::SimpleField;
    const IOMessageRef record = selected->message();
    if (!fieldKind || !input || input == selected || !record || !input->messageArray()) {
        refuse(QStringLiteral("You can only add an array element to an input array."));
        return false;
    }
    if (!record.isArray()) {
        refuse(QStringLiteral("You can only add an array element to an array."));
        return false;
    }

    std::vector<IOMessageRef> records = recordsOf(*input->messageArray());
    const int oldMax = record.arrayMax();
    const auto failed = [&] {
        // The array keeps what it had: the node still holds the untouched records.
        record.setArrayMax(oldMax);
        ctx_.status.setStatus(QStringLiteral("Insert new array element failed."));
        return false;
    };
    const auto arrayIndex = findRecord(records, record);
    if (!arrayIndex)
        return failed();
    record.setArrayMax(oldMax + count);

    const TNVTreeNode* lastElement = selected->lastChild();
    const IOMessageRef templateRecord = lastElement ? lastElement->message() : IOMessageRef();
    std::optional<std::size_t> templateIndex;
    if (templateRecord)
        for (std::size_t i = *arrayIndex + 1; i < records.size() && !templateIndex; ++i)
            if (records[i].get() == templateRecord.get())
                templateIndex = i;
    if (!templateIndex)
        return failed();

    const int elementLevel = templateRecord.level();
    std::size_t end = *templateIndex + 1;
    if (templateRecord.isComplexType())
        while (end < records.size() && records[end].level() > elementLevel)
            ++end;
    std::vector<IOMessageRef> copies;
    try {
        for (int copy = 0; copy < count; ++copy)
            for (std::size_t i = *templateIndex; i < end; ++i)
                copies.push_back(copyRecord(factory_, records[i]));
    } catch (const std::exception&) {
        return failed();
    }
    records.insert(records.begin() + static_cast<std::ptrdiff_t>(end), copies.begin(),
                   copies.end());
    rebuildInput(input, records, selected->parent()->caption(), templateRecord.fieldName(),
                 elementLevel);
    return true;
}

void TreeEditor::rebuildInput(TNVTreeNode* input, const std::vector<IOMessageRef>& records,
                              QString parentCaption, QString fieldName, int recordLevel) {
    auto array = std::make_shared<IOMessageArray>(IOMessageArray::fromMessages(records));
    // Building empties boolean inputs; a user's choices elsewhere in the message must survive
    // adding an element or choosing a type.
    QHash<IIOMessage*, QString> booleans;
    for (const IOMessageRef& r : records)
        if (r.dataType() == QLatin1String("boolean"))
            booleans.insert(r.get(), r.theData());

    ctx_.view.removeChoiceList();
    ctx_.view.setTreeVisible(false);
    auto children = buildMessageSubtree(*array, MessageDirection::Input);
    for (auto& child : children)
        forEachNode(child.get(), [&booleans](TNVTreeNode* node) {
            const IOMessageRef r = node->message();
            if (!r || !booleans.contains(r.get()) || node->kind() == NodeKind::Value)
                return;
            const QString value = booleans.value(r.get());
            r.setTheData(value);
            if (TNVTreeNode* valueNode = node->firstChild();
                valueNode && valueNode->kind() == NodeKind::Value)
                valueNode->setCaption(value);
        });
    ctx_.tree.replaceChildren(input, std::move(children));
    input->setData(array);
    ctx_.view.expandNode(input);

    if (ctx_.state.treeInteraction) {
        TNVTreeNode* node = input;
        while (node && node->caption() != parentCaption)
            node = nextInTree(node);
        for (node = node ? nextInTree(node) : nullptr; node; node = nextInTree(node)) {
            if (node->level() > 2 && hasDataReference(node) && !node->HasEnumList &&
                node->level() == recordLevel + 2 && node->caption() == fieldName)
                break;
        }
        if (node) {
            ctx_.view.expandNode(node);
            ctx_.view.selectNode(node);
        }
    }
    ctx_.view.setTreeVisible(true);
    if (!ctx_.state.knowledgeBaseHits.isEmpty())
        computeKnowledgeBaseIndexes(ctx_.tree, ctx_.state.currentService,
                                    ctx_.state.knowledgeBaseHits);
}

}  // namespace sondar
