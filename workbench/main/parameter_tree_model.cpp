#include "workbench/main/parameter_tree_model.h"

#include <QMimeData>

#include "workbench/main/node_icons.h"

namespace sondar {

ParameterTreeModel::ParameterTreeModel(TNVTree& tree, TreeEditor& editor, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), editor_(editor) {
    tree_.setObserver(this);
}

ParameterTreeModel::~ParameterTreeModel() {
    tree_.setObserver(nullptr);
}

TNVTreeNode* ParameterTreeModel::nodeFromIndex(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TNVTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex ParameterTreeModel::indexOf(const TNVTreeNode* node) const {
    if (!node)
        return {};
    return createIndex(node->parent() ? node->row() : 0, 0, const_cast<TNVTreeNode*>(node));
}

QModelIndex ParameterTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && tree_.root() ? createIndex(0, 0, tree_.root()) : QModelIndex();
    TNVTreeNode* node = nodeFromIndex(parent);
    if (row >= node->childCount())
        return {};
    return createIndex(row, 0, node->child(row));
}

QModelIndex ParameterTreeModel::parent(const QModelIndex& child) const {
    const TNVTreeNode* node = nodeFromIndex(child);
    if (!node || !node->parent())
        return {};
    return indexOf(node->parent());
}

int ParameterTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return tree_.root() ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    return nodeFromIndex(parent)->childCount();
}

int ParameterTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ParameterTreeModel::data(const QModelIndex& index, int role) const {
    const TNVTreeNode* node = nodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return node->caption();
        case Qt::DecorationRole:
            return nodeIcon(node->kind());
        default:
            return {};
    }
}

Qt::ItemFlags ParameterTreeModel::flags(const QModelIndex& index) const {
    const TNVTreeNode* node = nodeFromIndex(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (TreeEditor::isEditableValue(node)) {
        flags |= Qt::ItemIsDropEnabled;
        // Date-times are picked, not typed.
        if (!TreeEditor::isDateTimeValue(node))
            flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool ParameterTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TNVTreeNode* node = nodeFromIndex(index);
    if (role != Qt::EditRole || !TreeEditor::isEditableValue(node))
        return false;
    editor_.commitValue(node, value.toString());
    return true;
}

Qt::DropActions ParameterTreeModel::supportedDragActions() const {
    return Qt::CopyAction;
}

Qt::DropActions ParameterTreeModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

QStringList ParameterTreeModel::mimeTypes() const {
    return {QStringLiteral("text/plain")};
}

QMimeData* ParameterTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setText(indexes.front().data().toString());
    return data;
}

bool ParameterTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                         const QModelIndex& parent) const {
    // Only onto a node, never between nodes.
    return data && data->hasText() && row < 0 && TreeEditor::isEditableValue(nodeFromIndex(parent));
}

bool ParameterTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                      int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    editor_.commitValue(nodeFromIndex(parent), data->text());
    // The source keeps its node: a drop copies the value whatever the action.
    return false;
}

void ParameterTreeModel::beginResetTree() {
    beginResetModel();
}
void ParameterTreeModel::endResetTree() {
    endResetModel();
}

void ParameterTreeModel::beginInsertNodes(TNVTreeNode* parent, int first, int last) {
    beginInsertRows(indexOf(parent), first, last);
}
void ParameterTreeModel::endInsertNodes() {
    endInsertRows();
}

void ParameterTreeModel::beginRemoveNodes(TNVTreeNode* parent, int first, int last) {
    beginRemoveRows(indexOf(parent), first, last);
}
void ParameterTreeModel::endRemoveNodes() {
    endRemoveRows();
}

void ParameterTreeModel::nodeChanged(TNVTreeNode* node) {
    const QModelIndex at = indexOf(node);
    emit dataChanged(at, at);
}

}  // namespace sondar
