// The parameter tree as the plain-text listing that "Print Tree" prints: two heading lines
// naming the WSDL and the service, an empty line, then one indented line per node.
#pragma once

#include <QString>
#include <QStringList>

#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

// The bracketed label a node's line carries, by kind ("[FIELD]" for a simple field).
QString treeListingLabel(NodeKind kind);

// The listing of `start` and everything below it: "WSDL: " + `location`, "SERVICE: " +
// `service`, an empty line, then for each node in tree order (level x 5 blanks) + "- " +
// label + " " + caption, the level counted from the tree's root.
QStringList treeListing(const TNVTreeNode& start, const QString& location, const QString& service);

}  // namespace sondar
