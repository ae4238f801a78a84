#include "workbench/core/printing/tree_listing.h"

namespace sondar {

namespace {

constexpr int kBlanksPerLevel = 5;

// Pre-order from `node`: exactly the nodes up to the next one that is not deeper than it.
void appendSubtree(const TNVTreeNode& node, int level, QStringList& lines) {
    lines.append(QString(level * kBlanksPerLevel, QLatin1Char(' ')) + QStringLiteral("- ") +
                 treeListingLabel(node.kind()) + QLatin1Char(' ') + node.caption());
    for (int i = 0; i < node.childCount(); ++i)
        appendSubtree(*node.child(i), level + 1, lines);
}

}  // namespace

QString treeListingLabel(NodeKind kind) {
    switch (kind) {
        case NodeKind::Root:
            return QStringLiteral("[OPERATIONS]");
        case NodeKind::Operation:
            return QStringLiteral("[OPERATION]");
        case NodeKind::InputMessage:
            return QStringLiteral("[INPUT]");
        case NodeKind::OutputMessage:
            return QStringLiteral("[OUTPUT]");
        case NodeKind::Structure:
            return QStringLiteral("[COMPLEX TYPE]");
        case NodeKind::SimpleField:
            return QStringLiteral("[FIELD]");
        case NodeKind::Value:
            return QStringLiteral("[DATA]");
        case NodeKind::Type:
            return QStringLiteral("[DATA TYPE]");
        case NodeKind::AttributeField:
            return QStringLiteral("[ATTRIBUTE]");
    }
    // A number outside the known kinds: the node is still printed, recognisably unlabelled.
    return QStringLiteral("[?]");
}

QStringList treeListing(const TNVTreeNode& start, const QString& location, const QString& service) {
    QStringList lines{QStringLiteral("WSDL: ") + location, QStringLiteral("SERVICE: ") + service,
                      QString()};
    appendSubtree(start, start.level(), lines);
    return lines;
}

}  // namespace sondar
