#include "workbench/core/tree/kb_index.h"

#include <QHash>

namespace sondar {

QString knowledgeBaseKey(const QString& serviceName, const TNVTreeNode* node) {
    QString path = node->caption();
    if (node->kind() != NodeKind::Operation) {
        for (const TNVTreeNode* ancestor = node->parent(); ancestor;
             ancestor = ancestor->parent()) {
            if (!ancestor->caption().contains(QLatin1Char('[')))
                path = ancestor->caption() + QLatin1Char('.') + path;
            if (ancestor->kind() == NodeKind::Operation)
                break;
        }
    }
    return serviceName + QLatin1Char('.') + path;
}

void computeKnowledgeBaseIndexes(TNVTree& tree, const QString& serviceName,
                                 const QStringList& hits) {
    QHash<QString, int> positions;
    positions.reserve(hits.size());
    for (int i = 0; i < hits.size(); ++i) {
        const QString name = hits[i].section(QLatin1Char('='), 0, 0);
        if (!positions.contains(name))
            positions.insert(name, i);
    }
    tree.forEach([&](TNVTreeNode* node) {
        if (node->KBIndex == -1 || node->kind() == NodeKind::Root)
            return;
        node->KBIndex = positions.value(knowledgeBaseKey(serviceName, node), -1);
    });
}

}  // namespace sondar
