// The parameter tree: owns its nodes and tells an observer (the view's item model) about every
// structural change, so views never see a half-changed tree.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

class TreeObserver {
  public:
    virtual ~TreeObserver() = default;
    virtual void beginResetTree() {}
    virtual void endResetTree() {}
    virtual void beginInsertNodes(TNVTreeNode* parent, int first, int last) {}
    virtual void endInsertNodes() {}
    virtual void beginRemoveNodes(TNVTreeNode* parent, int first, int last) {}
    virtual void endRemoveNodes() {}
    virtual void nodeChanged(TNVTreeNode* node) {}
};

class TNVTree {
  public:
    TNVTree() = default;
    TNVTree(const TNVTree&) = delete;
    TNVTree& operator=(const TNVTree&) = delete;

    // Not owned; may be null. Only one observer: the tree has one view.
    void setObserver(TreeObserver* observer) { observer_ = observer; }

    TNVTreeNode* root() const { return root_.get(); }
    bool empty() const { return !root_; }
    // Nodes in the whole tree.
    int count() const;

    // Removes every node.
    void clear();
    // Adds the root (the tree must be empty) and returns it.
    TNVTreeNode* addRoot(std::unique_ptr<TNVTreeNode> root);
    TNVTreeNode* appendChild(TNVTreeNode* parent, std::unique_ptr<TNVTreeNode> child);
    void insertChild(TNVTreeNode* parent, int row, std::unique_ptr<TNVTreeNode> child);
    void removeChild(TNVTreeNode* parent, int row);
    void removeChildren(TNVTreeNode* parent);
    // Replaces all children of `parent` by `children` (one removal, one insertion).
    void replaceChildren(TNVTreeNode* parent, std::vector<std::unique_ptr<TNVTreeNode>> children);
    // Tells the view that a node's caption or kind changed.
    void changed(TNVTreeNode* node);

    // Rebuilding much at once: views reset once at the end instead of hearing every node.
    // Nested scopes are allowed.
    class ResetScope {
      public:
        explicit ResetScope(TNVTree& tree);
        ~ResetScope();
        ResetScope(const ResetScope&) = delete;
        ResetScope& operator=(const ResetScope&) = delete;

      private:
        TNVTree& tree_;
    };

    // Visits every node in tree order (pre-order), root first.
    void forEach(const std::function<void(TNVTreeNode*)>& visit) const;

  private:
    bool notifying() const { return observer_ && resetDepth_ == 0; }

    std::unique_ptr<TNVTreeNode> root_;
    TreeObserver* observer_ = nullptr;
    int resetDepth_ = 0;
};

// Pre-order walk of a subtree, `node` first.
void forEachNode(TNVTreeNode* node, const std::function<void(TNVTreeNode*)>& visit);

}  // namespace sondar
