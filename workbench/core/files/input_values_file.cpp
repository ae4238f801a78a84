#include "workbench/core/files/input_values_file.h"

#include <string>

#include "platform/xmldom/document.h"
#include "workbench/core/editing/tree_editor.h"
#include "workbench/core/files/text_decoding.h"
#include "workbench/core/tree/nv_tree.h"

namespace sondar {

namespace {

QString escaped(const QString& text, bool attribute) {
    QString out = text.toHtmlEscaped();  // & < > "
    if (!attribute)
        out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    return out;
}

// "items [3]" names the element "items".
QString elementName(const TNVTreeNode* node) {
    QString name = node->caption();
    const qsizetype bracket = name.lastIndexOf(QStringLiteral(" ["));
    if (bracket >= 0 && name.endsWith(QLatin1Char(']')))
        name.truncate(bracket);
    return name;
}

void writeField(const TNVTreeNode* node, QString& out) {
    const NodeKind kind = node->kind();
    if (kind == NodeKind::SimpleField || kind == NodeKind::AttributeField) {
        const TNVTreeNode* value = node->childCount() > 0 ? node->child(0) : nullptr;
        const TNVTreeNode* type = node->childCount() > 1 ? node->child(1) : nullptr;
        const QString name = escaped(elementName(node), false);
        out += QLatin1Char('<') + name + QStringLiteral(" type=\"") +
               escaped(type ? type->caption() : QString(), true) + QStringLiteral("\">") +
               escaped(value ? value->caption() : QString(), false) + QStringLiteral("</") + name +
               QStringLiteral(">\n");
        return;
    }
    if (kind != NodeKind::Structure)
        return;
    const QString name = escaped(elementName(node), false);
    const IOMessageRef record = node->message();
    out += QLatin1Char('<') + name;
    if (record && record.isArray())
        out += QStringLiteral(" arrayMax=\"") + QString::number(record.arrayMax()) +
               QStringLiteral("\" isArray=\"1\"");
    if (record && record.isSimpleDataField())
        out += QStringLiteral(" isSimpleDataField=\"1\"");
    if (!node->SelectedType.isEmpty())
        out += QStringLiteral(" type=\"") + escaped(node->SelectedType, true) + QLatin1Char('"');
    out += QStringLiteral(" isComplex=\"1\">\n");
    for (int i = 0; i < node->childCount(); ++i)
        writeField(node->child(i), out);
    out += QStringLiteral("</") + name + QStringLiteral(">\n");
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The next element after `element` in document order, within `scope`.
nv::xml::Node nextInDocument(nv::xml::Node element, const nv::xml::Node& scope) {
    if (nv::xml::Node child = element.firstChildElement())
        return child;
    for (nv::xml::Node n = element; n && !(n == scope); n = n.parent())
        if (nv::xml::Node sibling = n.nextSiblingElement())
            return sibling;
    return {};
}

// The field nodes of an Input subtree in tree order (values and types are the fields' own).
std::vector<TNVTreeNode*> fieldsOf(TNVTreeNode* input) {
    std::vector<TNVTreeNode*> fields;
    for (int i = 0; i < input->childCount(); ++i)
        forEachNode(input->child(i), [&fields](TNVTreeNode* node) {
            if (node->kind() != NodeKind::Value && node->kind() != NodeKind::Type)
                fields.push_back(node);
        });
    return fields;
}

void setValue(TNVTreeNode* field, const QString& text, TNVTree& tree) {
    TNVTreeNode* value = field->firstChild();
    if (!value || value->kind() != NodeKind::Value)
        return;
    value->setCaption(text);
    if (const IOMessageRef record = field->message())
        record.setTheData(text);
    tree.changed(value);
}

enum class Pass { Done, Restart, Mismatch };

Pass restoreOperation(TNVTreeNode* operation, const nv::xml::Node& operationElement,
                      TreeEditor& editor, TNVTree& tree) {
    if (fromUtf8(operationElement.attribute("name")) != operation->caption())
        return Pass::Mismatch;
    TNVTreeNode* input = operation->firstChild();
    const nv::xml::Node inputElement = operationElement.firstChildElement("input");
    if (!input || !inputElement)
        return Pass::Done;
    nv::xml::Node element = inputElement.firstChildElement();
    for (TNVTreeNode* node : fieldsOf(input)) {
        if (!element)
            break;
        if (elementName(node) != fromUtf8(std::string(element.baseName())))
            return Pass::Mismatch;
        if (element.hasAttribute("isComplex")) {
            const IOMessageRef record = node->message();
            bool sizeOk = false;
            const int wanted = fromUtf8(element.attribute("arrayMax")).toInt(&sizeOk);
            if (element.hasAttribute("arrayMax") && sizeOk && record && record.arrayMax() < wanted)
                return editor.addArrayElement(node, wanted - record.arrayMax()) ? Pass::Restart
                                                                                : Pass::Mismatch;
            if (element.hasAttribute("type") && node->SelectedType.isEmpty())
                return editor.chooseType(node, fromUtf8(element.attribute("type")))
                           ? Pass::Restart
                           : Pass::Mismatch;
        } else {
            setValue(node, fromUtf8(element.text()), tree);
        }
        element = nextInDocument(element, inputElement);
    }
    return Pass::Done;
}

RestoreResult restoreXml(const nv::xml::Document& document, const QString& serviceName,
                         const std::vector<TNVTreeNode*>& operations, bool allOperations,
                         TreeEditor& editor, TNVTree& tree) {
    const nv::xml::Node root = document.documentElement();
    if (!root || !root.hasAttribute("name") || fromUtf8(root.attribute("name")) != serviceName)
        return RestoreResult::Mismatch;
    // Every restart follows a change that grew an array or chose a type, so the number of
    // passes is bounded by what the file asks for; the cap only guards against a tree that
    // never reaches the file's shape.
    constexpr int kMaxPasses = 100000;
    for (int passes = 0; passes < kMaxPasses; ++passes) {
        Pass pass = Pass::Done;
        nv::xml::Node element = root.firstChildElement("operation");
        for (std::size_t i = 0; i < operations.size() && element && pass == Pass::Done; ++i) {
            pass = restoreOperation(operations[i], element, editor, tree);
            if (!allOperations)
                break;
            element = element.nextSiblingElement("operation");
        }
        if (pass == Pass::Mismatch)
            return RestoreResult::Mismatch;
        if (pass == Pass::Done)
            return RestoreResult::Restored;
    }
    return RestoreResult::Mismatch;
}

RestoreResult restoreText(const QByteArray& content, const std::vector<TNVTreeNode*>& operations,
                          bool allOperations, TNVTree& tree) {
    QString text = decodeUserText(content);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype line = 0;
    const auto atEnd = [&] {
        return line >= lines.size() || (line == lines.size() - 1 && lines[line].isEmpty());
    };
    for (TNVTreeNode* operation : operations) {
        if (atEnd())
            break;
        if (allOperations && lines[line++] != operation->caption())
            return RestoreResult::Mismatch;
        TNVTreeNode* input = operation->firstChild();
        for (TNVTreeNode* field : input ? fieldsOf(input) : std::vector<TNVTreeNode*>{}) {
            if (field->kind() != NodeKind::SimpleField)
                continue;
            if (atEnd())
                return RestoreResult::Restored;
            if (lines[line++] != field->caption() || line >= lines.size())
                return RestoreResult::Mismatch;
            setValue(field, lines[line++], tree);
        }
        if (!allOperations)
            break;
    }
    return RestoreResult::Restored;
}

}  // namespace

QByteArray writeInputValues(const QString& serviceName,
                            const std::vector<const TNVTreeNode*>& operations) {
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n");
    out += QStringLiteral("<NV:service name=\"") + escaped(serviceName, true) +
           QStringLiteral("\" xmlns:NV=\"") + QLatin1String(kInputValuesNamespace) +
           QStringLiteral("\">\n");
    for (const TNVTreeNode* operation : operations) {
        out += QStringLiteral("<operation name=\"") + escaped(operation->caption(), true) +
               QStringLiteral("\">\n<input isComplex=\"1\">\n");
        if (const TNVTreeNode* input = operation->firstChild())
            for (int i = 0; i < input->childCount(); ++i)
                writeField(input->child(i), out);
        out += QStringLiteral("</input>\n</operation>\n");
    }
    out += QStringLiteral("</NV:service>\n");
    return out.toUtf8();
}

RestoreResult restoreInputValues(const QByteArray& content, const QString& serviceName,
                                 const std::vector<TNVTreeNode*>& operations, bool allOperations,
                                 TreeEditor& editor, TNVTree& tree) {
    nv::xml::Document document;
    if (document.loadXML(
            std::string_view(content.constData(), static_cast<std::size_t>(content.size()))))
        return restoreXml(document, serviceName, operations, allOperations, editor, tree);
    return restoreText(content, operations, allOperations, tree);
}

}  // namespace sondar
