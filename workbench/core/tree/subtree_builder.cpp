#include "workbench/core/tree/subtree_builder.h"

#include "workbench/core/engine/nvws_control.h"
#include "workbench/core/tree/enum_values.h"

namespace sondar {

namespace {

void addValueAndType(TNVTreeNode* field, const QString& value, const QString& dataType) {
    auto valueNode = std::make_unique<TNVTreeNode>(NodeKind::Value, value);
    valueNode->KBIndex = -1;
    field->appendChild(std::move(valueNode));
    auto typeNode = std::make_unique<TNVTreeNode>(NodeKind::Type, dataType);
    typeNode->KBIndex = -1;
    field->appendChild(std::move(typeNode));
}

void addEnumValueAndType(TNVTreeNode* field, const IOMessageRef& record) {
    // The longer text holds the list; a value longer than the list text is replaced by it.
    QString theData = record.theData();
    const QString info = record.info();
    QString source = info;
    if (theData.size() > info.size()) {
        source = theData;
        record.setTheData(info);
        theData = info;
    }
    auto valueNode = std::make_unique<TNVTreeNode>(NodeKind::Value, theData);
    valueNode->KBIndex = -1;
    valueNode->HasEnumList = true;
    valueNode->setData(splitAllowedValues(source));
    field->appendChild(std::move(valueNode));
    auto typeNode = std::make_unique<TNVTreeNode>(NodeKind::Type, record.dataType());
    typeNode->KBIndex = -1;
    field->appendChild(std::move(typeNode));
}

}  // namespace

std::vector<std::unique_ptr<TNVTreeNode>> buildMessageSubtree(const IOMessageArray& records,
                                                              MessageDirection direction) {
    const bool input = direction == MessageDirection::Input;
    TNVTreeNode holder(input ? NodeKind::InputMessage : NodeKind::OutputMessage, QString());
    TNVTreeNode* current = &holder;
    int currentLevel = 0;

    const std::size_t count = records.size();
    for (std::size_t i = 0; i < count; ++i) {
        const IOMessageRef record = records.at(i);
        if (!record)
            continue;
        const bool isArray = record.isArray();
        QString countText;
        if (isArray) {
            int arrayMax = record.arrayMax();
            if (input && arrayMax == 0) {
                arrayMax = 1;
                record.setArrayMax(1);
            }
            if (arrayMax != 0)
                countText = QString::number(arrayMax);
        }
        const QString dataType = record.dataType();
        if (input && dataType == QLatin1String("boolean")) {
            record.setInfo(QStringLiteral("true|false"));
            record.setHasEnumValues(true);
            record.setTheData(QString());
        }

        const QString fieldName = record.fieldName();
        auto node = std::make_unique<TNVTreeNode>(
            NodeKind::SimpleField,
            isArray ? fieldName + QStringLiteral(" [") + countText + QLatin1Char(']') : fieldName);
        if (isArray) {
            node->setKind(NodeKind::Structure);
            node->setData(record);
        }

        const int level = record.level();
        TNVTreeNode* placed = nullptr;
        if (level > currentLevel) {
            placed = current->appendChild(std::move(node));
            currentLevel = level;
            if (isArray)
                record.setInfo(QString::number(i));
        } else {
            for (int climb = currentLevel - level; climb > 0 && current != &holder; --climb)
                current = current->parent();
            currentLevel = level;
            // A record shallower than the first level has no sibling to join: keep it in the
            // message rather than outside it.
            TNVTreeNode* parent = current == &holder ? &holder : current->parent();
            placed = parent->appendChild(std::move(node));
        }
        current = placed;

        const bool isComplex = record.isComplexType();
        if (isComplex || (!input && isArray)) {
            placed->setKind(NodeKind::Structure);
            if (record.isSimpleDataField()) {
                placed->setData(record);
                addValueAndType(placed, record.theData(), dataType);
            } else if (isComplex) {
                placed->setData(record);
                if (record.info().contains(QLatin1Char('|')))
                    placed->SelectedType = dataType;
            }
            continue;
        }

        placed->setData(record);
        if (record.isAttribute())
            placed->setKind(NodeKind::AttributeField);
        else if (!isArray)
            placed->setKind(NodeKind::SimpleField);
        if (record.hasEnumValues())
            addEnumValueAndType(placed, record);
        else if (!isArray)
            addValueAndType(placed, record.theData(), dataType);
    }
    return holder.takeChildren();
}

bool fetchMessageStructure(TCNVWSControl& control, const QString& operation,
                           MessageDirection direction, IOMessageArray& records,
                           QString& errorText) {
    try {
        if (direction == MessageDirection::Input)
            control.GetInputStructure(operation, records, errorText);
        else
            control.GetOutputStructure(operation, records, errorText);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace sondar
