// The parameter tree's view: values are edited in place, dragged and dropped; a double-click
// expands a whole branch instead of toggling one node.
#pragma once

#include <QTreeView>

namespace sondar {

class ParameterTreeView final : public QTreeView {
    Q_OBJECT

  public:
    explicit ParameterTreeView(QWidget* parent = nullptr);

    bool isEditing() const { return state() == EditingState; }
    // Commits and closes the open value editor, if any.
    void finishEditing();

  signals:
    // A double-click on a node while no editor is open.
    void nodeDoubleClicked(const QModelIndex& index);

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace sondar
