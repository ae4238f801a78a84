#include "workbench/main/parameter_tree_view.h"

#include <QApplication>
#include <QMouseEvent>

namespace sondar {

ParameterTreeView::ParameterTreeView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
}

void ParameterTreeView::finishEditing() {
    if (!isEditing())
        return;
    QWidget* editor = QApplication::focusWidget();
    if (editor && isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ParameterTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isEditing())
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit nodeDoubleClicked(index);
    event->accept();
}

}  // namespace sondar
