// Shows a message's values in the result grid and the text view: every field name opens a
// column, and array elements fill their fields' columns one row below the other.
#pragma once

#include <QStringList>

#include "workbench/core/invoke/result_grid.h"
#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

// Fills `grid` (emptied first) from the children of `start`, and appends one
// "field = value" line per shown value to `textLines`.
void displayValues(const TNVTreeNode* start, ResultGrid& grid, QStringList& textLines);

}  // namespace sondar
