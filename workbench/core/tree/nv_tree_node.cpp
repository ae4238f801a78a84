#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

int TNVTreeNode::level() const {
    int depth = 0;
    for (const TNVTreeNode* node = parent_; node; node = node->parent_)
        ++depth;
    return depth;
}

TNVTreeNode* TNVTreeNode::appendChild(std::unique_ptr<TNVTreeNode> child) {
    child->parent_ = this;
    child->row_ = childCount();
    children_.push_back(std::move(child));
    return children_.back().get();
}

void TNVTreeNode::insertChild(int row, std::unique_ptr<TNVTreeNode> child) {
    child->parent_ = this;
    children_.insert(children_.begin() + row, std::move(child));
    renumberFrom(row);
}

std::unique_ptr<TNVTreeNode> TNVTreeNode::takeChild(int row) {
    auto child = std::move(children_[static_cast<std::size_t>(row)]);
    children_.erase(children_.begin() + row);
    child->parent_ = nullptr;
    child->row_ = 0;
    renumberFrom(row);
    return child;
}

std::vector<std::unique_ptr<TNVTreeNode>> TNVTreeNode::takeChildren() {
    auto taken = std::move(children_);
    children_.clear();
    for (auto& child : taken)
        child->parent_ = nullptr;
    return taken;
}

void TNVTreeNode::renumberFrom(int row) {
    for (int i = row; i < childCount(); ++i)
        children_[static_cast<std::size_t>(i)]->row_ = i;
}

IOMessageRef TNVTreeNode::message() const {
    if (const auto* ref = std::get_if<IOMessageRef>(&data_))
        return *ref;
    return {};
}

IOMessageArray* TNVTreeNode::messageArray() const {
    if (const auto* array = std::get_if<std::shared_ptr<IOMessageArray>>(&data_))
        return array->get();
    return nullptr;
}

int TNVTreeNode::operationDocIndex() const {
    if (const auto* index = std::get_if<int>(&data_))
        return *index;
    return -1;
}

const QStringList* TNVTreeNode::enumList() const {
    return std::get_if<QStringList>(&data_);
}

}  // namespace sondar
