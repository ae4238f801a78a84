#include "workbench/core/tree/nv_tree.h"

namespace sondar {

void forEachNode(TNVTreeNode* node, const std::function<void(TNVTreeNode*)>& visit) {
    if (!node)
        return;
    // Iterative: structures can nest deeply and trees can be large.
    std::vector<TNVTreeNode*> stack{node};
    while (!stack.empty()) {
        TNVTreeNode* current = stack.back();
        stack.pop_back();
        visit(current);
        for (int i = current->childCount() - 1; i >= 0; --i)
            stack.push_back(current->child(i));
    }
}

int TNVTree::count() const {
    int n = 0;
    forEachNode(root_.get(), [&n](TNVTreeNode*) { ++n; });
    return n;
}

void TNVTree::clear() {
    ResetScope scope(*this);
    root_.reset();
}

TNVTreeNode* TNVTree::addRoot(std::unique_ptr<TNVTreeNode> root) {
    ResetScope scope(*this);
    root_ = std::move(root);
    return root_.get();
}

TNVTreeNode* TNVTree::appendChild(TNVTreeNode* parent, std::unique_ptr<TNVTreeNode> child) {
    const bool notify = notifying();
    if (notify)
        observer_->beginInsertNodes(parent, parent->childCount(), parent->childCount());
    TNVTreeNode* added = parent->appendChild(std::move(child));
    if (notify)
        observer_->endInsertNodes();
    return added;
}

void TNVTree::insertChild(TNVTreeNode* parent, int row, std::unique_ptr<TNVTreeNode> child) {
    const bool notify = notifying();
    if (notify)
        observer_->beginInsertNodes(parent, row, row);
    parent->insertChild(row, std::move(child));
    if (notify)
        observer_->endInsertNodes();
}

void TNVTree::removeChild(TNVTreeNode* parent, int row) {
    const bool notify = notifying();
    if (notify)
        observer_->beginRemoveNodes(parent, row, row);
    auto removed = parent->takeChild(row);
    if (notify)
        observer_->endRemoveNodes();
}

void TNVTree::removeChildren(TNVTreeNode* parent) {
    if (!parent->hasChildren())
        return;
    const bool notify = notifying();
    if (notify)
        observer_->beginRemoveNodes(parent, 0, parent->childCount() - 1);
    auto removed = parent->takeChildren();
    if (notify)
        observer_->endRemoveNodes();
}

void TNVTree::replaceChildren(TNVTreeNode* parent,
                              std::vector<std::unique_ptr<TNVTreeNode>> children) {
    removeChildren(parent);
    if (children.empty())
        return;
    const bool notify = notifying();
    if (notify)
        observer_->beginInsertNodes(parent, 0, static_cast<int>(children.size()) - 1);
    for (auto& child : children)
        parent->appendChild(std::move(child));
    if (notify)
        observer_->endInsertNodes();
}

void TNVTree::changed(TNVTreeNode* node) {
    if (notifying())
        observer_->nodeChanged(node);
}

void TNVTree::forEach(const std::function<void(TNVTreeNode*)>& visit) const {
    forEachNode(root_.get(), visit);
}

TNVTree::ResetScope::ResetScope(TNVTree& tree) : tree_(tree) {
    if (tree_.resetDepth_++ == 0 && tree_.observer_)
        tree_.observer_->beginResetTree();
}

TNVTree::ResetScope::~ResetScope() {
    if (--tree_.resetDepth_ == 0 && tree_.observer_)
        tree_.observer_->endResetTree();
}

}  // namespace sondar
