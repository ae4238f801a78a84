// The "Print Tree" commands without a display: checks, statuses, the print dialog's range and
// the listing, printed through a TreePrintTarget.
//
// Wiring in TMainForm (one handler for the tool button, the Tree menu and both context menu
// commands):
//     QtTreePrintTarget target(printDialogs, this);   // workbench/dialogs/qt_tree_print_target.h
//     printTree({core.tree(), selectedNode, wsdlLocationBox->text(), servicesBox->currentText(),
//                nodeAndChildren},
//               target, messages, status);
// where `selectedNode` is the tree view's current node (may be null) and `nodeAndChildren` is
// true only for the context menu's "Print node and children".
#pragma once

#include <QString>

#include "workbench/core/printing/tree_print_target.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/status_seam.h"
#include "workbench/core/tree/nv_tree.h"

namespace sondar {

struct PrintTreeRequest {
    const TNVTree& tree;
    // The selected node, printed with its subtree when the user keeps the range "selection";
    // null (or a range of "all") prints from the root.
    const TNVTreeNode* selected = nullptr;
    QString location;  // the WSDL location box text, also the document's title
    QString service;   // the "Services:" box text
    // "Print node and children": the dialog opens with "selection" instead of "all".
    bool nodeAndChildren = false;
};

enum class PrintTreeOutcome { NoTree, Cancelled, Printed, Failed };

// Runs the command, reporting through `status` and `messages`.
PrintTreeOutcome printTree(const PrintTreeRequest& request, TreePrintTarget& target,
                           MessageSeam& messages, StatusSeam& status);

}  // namespace sondar
