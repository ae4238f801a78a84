// Links tree nodes to entries of the knowledge-base hits list (name=value pairs keyed by the
// dotted path service.operation.message.field), for the documentation tool tips.
#pragma once

#include <QString>
#include <QStringList>

#include "workbench/core/tree/nv_tree.h"

namespace sondar {

// The hits-list key of a node: service + "." + the captions from the operation node down to
// the node, leaving out ancestors whose caption contains "[" (array nodes).
QString knowledgeBaseKey(const QString& serviceName, const TNVTreeNode* node);

// Sets KBIndex of every node that is not already -1 to the position of its key among the
// hits' names, or -1 when there is none.
void computeKnowledgeBaseIndexes(TNVTree& tree, const QString& serviceName,
                                 const QStringList& hits);

}  // namespace sondar
