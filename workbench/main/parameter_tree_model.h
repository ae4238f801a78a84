// Shows the core's parameter tree to a QTreeView: indexes map to TNVTreeNode pointers, and the
// tree's change notices become the model's signals.
#pragma once

#include <QAbstractItemModel>

#include "workbench/core/editing/tree_editor.h"
#include "workbench/core/tree/nv_tree.h"

namespace sondar {

class ParameterTreeModel final : public QAbstractItemModel, public TreeObserver {
    Q_OBJECT

  public:
    // The tree and the editor must outlive the model; the model registers itself as the
    // tree's observer. Edits and drops of values go through the editor.
    ParameterTreeModel(TNVTree& tree, TreeEditor& editor, QObject* parent = nullptr);
    ~ParameterTreeModel() override;

    TNVTreeNode* nodeFromIndex(const QModelIndex& index) const;
    QModelIndex indexOf(const TNVTreeNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Values are dragged as text: any tree view's node caption can be dropped on an input value.
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

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
    TreeEditor& editor_;
};

}  // namespace sondar
