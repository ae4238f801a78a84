// The pictures of the parameter tree's node kinds, drawn once per process.
#pragma once

#include <QIcon>

#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

QIcon nodeIcon(NodeKind kind);

}  // namespace sondar
