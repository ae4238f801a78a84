// The texts of the documentation hints: for a tree node under the mouse and for the service
// chosen in the "Services:" box, from the WSDL and from the knowledge-base hits.
#pragma once

#include <QString>

#include "workbench/core/session/main_state.h"
#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

// Empty when the node has nothing to tell (the hint is then removed).
QString nodeDocumentation(const TNVTreeNode* node, const MainState& state);

// For the service at `selectedIndex` of the box (-1: none selected).
QString serviceDocumentation(int selectedIndex, const QString& serviceName, const MainState& state);

}  // namespace sondar
