// Commands on the whole parameter tree: clearing input or output values (rebuilding them from
// the engine), expanding and collapsing.
#pragma once

#include "workbench/core/session/workbench_context.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar {

class TreeCommands {
  public:
    explicit TreeCommands(WorkbenchContext& context) : ctx_(context) {}

    // "Clear ALL Input Values" / "Clear ALL Output Values": asks first.
    void clearAllValues(MessageDirection direction);
    // The tree menu's "Clear" for the operation of `node` (any node under an operation).
    void clearOperationValues(TNVTreeNode* node, MessageDirection direction);

    // Fetches every operation's input (or output) structure again, without asking.
    bool rebuildAll(MessageDirection direction);

    void expandTree();
    void collapseTree();
    void expandItemAndChildren(TNVTreeNode* node);
    void expandItemOnly(TNVTreeNode* node);

    // True while everything is being expanded: expanding a field must not open its editor.
    bool expandingAll() const { return expandingAll_; }

  private:
    bool rebuild(TNVTreeNode* operation, MessageDirection direction);
    void expandAll(TNVTreeNode* node, const QString& status);

    WorkbenchContext& ctx_;
    bool expandingAll_ = false;
};

// The operation node at or above `node`, or null.
TNVTreeNode* operationOf(TNVTreeNode* node);

}  // namespace sondar
