// The input-values file: what the user typed into operations' Input subtrees, as XML (the
// file a batch run replays), and reading it back, also from the older plain-text form.
#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

class TreeEditor;
class TNVTree;

// The namespace of the file's root element.
inline constexpr char kInputValuesNamespace[] = "http://www.norvale.example/sondar/inputvalues";

// The XML file for `operations` (operation nodes), one element per line.
QByteArray writeInputValues(const QString& serviceName,
                            const std::vector<const TNVTreeNode*>& operations);

enum class RestoreResult {
    Restored,
    Mismatch,  // the file does not fit the tree (names, order, service)
};

// Fills the Input subtrees of `operations` from `content` (XML, else the plain-text form).
// `allOperations`: the file holds every operation in tree order; otherwise its first
// operation is restored into the one given. Arrays grow and derived types are chosen (through
// `editor`) until the tree has the file's shape; a change that fails ends as a mismatch.
RestoreResult restoreInputValues(const QByteArray& content, const QString& serviceName,
                                 const std::vector<TNVTreeNode*>& operations, bool allOperations,
                                 TreeEditor& editor, TNVTree& tree);

}  // namespace sondar
