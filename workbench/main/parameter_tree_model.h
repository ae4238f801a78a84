// Shows the core's parameter tree to a QTreeView: indexes map to TNVTreeNode pointers, and the
// tree's change notices become the model's signals.
#pragma once

#include <QAbstractItemModel>

#include "workbench/core/tree/nv_tree.h"

namespace sondar {

class ParameterTreeModel final : public QAbstractItemModel, public TreeObserver {
    Q_OBJECT

  public:
    // The tree must outlive the model; the model registers itself as the tree's observer.
    explicit ParameterTreeModel(TNVTree& tree, QObject* parent = nullptr);
    ~ParameterTreeModel() override;

    TNVTreeNode* nodeFromIndex(const QModelIndex& index) const;
    QModelIndex indexOf(const TNVTreeNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // TreeObserver
    void beginResetTree() override;
    void endResetTree() override;
    void beginInsertNodes(TNVTreeNode* parent, int first, int last) override;
    void endInsertNodes() override;
    void beginRemoveNodes(TNVTreeNode* parent, int first, int last) override;
    void endRemoveNodes() override;
    void nodeChanged(TNVTreeNode* node) override;

  private:
    TNVTree& tree_;
};

}  // namespace sondar
