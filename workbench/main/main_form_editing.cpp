// The main window's editing glue: value editors opening on expansion, the in-place choice
// list on selection, double-clicks, and which context-menu entries apply to a node.
#include <QAction>
#include <QMenu>
#include <QMetaObject>
#include <QPersistentModelIndex>

#include "workbench/core/editing/tree_editor.h"
#include "workbench/dialogs/data_selector.h"
#include "workbench/main/choice_list.h"
#include "workbench/main/main_form.h"
#include "workbench/main/parameter_tree_model.h"
#include "workbench/main/parameter_tree_view.h"

namespace sondar {

namespace {

// Entries whose commands exist today; the others stay disabled until their features come.
const QStringList kWorkingEntries = {
    QStringLiteral("TreeInputClear"),      QStringLiteral("TreeInputClearAll"),
    QStringLiteral("TreeInputAddElement"), QStringLiteral("TreeOutputClear"),
    QStringLiteral("TreeOutputClearAll"),  QStringLiteral("TreeDisplayGrid"),
    QStringLiteral("TreeInputSave"),       QStringLiteral("TreeInputRestore"),
    QStringLiteral("TreeInputSaveAll"),    QStringLiteral("TreeInputRestoreAll"),
    QStringLiteral("TreeOutputSave"),      QStringLiteral("TreeOutputSaveAll"),
    QStringLiteral("TreeOutputSaveField"), QStringLiteral("TreeOutputViewFile")};

}  // namespace

void TMainForm::wireTreeEditing() {
    connect(treeView_, &QTreeView::expanded, this, &TMainForm::TreeViewExpanded);
    connect(treeView_, &ParameterTreeView::nodeDoubleClicked, this, &TMainForm::TreeViewDblClick);
    connect(treeView_, &QTreeView::clicked, this, &TMainForm::TreeViewClick);
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TreeViewChange(current); });
    // Nodes go away with every rebuild: nothing may keep pointing at them.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &TMainForm::forgetEditedNodes);
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, &TMainForm::forgetEditedNodes);
}

void TMainForm::forgetEditedNodes() {
    choiceList_->remove();
    if (dataSelector_)
        dataSelector_->forgetNode();
}

void TMainForm::TreeViewExpanded(const QModelIndex& index) {
    if (programmaticExpand_ || core_->treeCommands().expandingAll())
        return;
    if (dataSelector_)
        dataSelector_->hide();
    const TNVTreeNode* node = model_->nodeFromIndex(index);
    if (!node)
        return;
    for (int i = 0; i < node->childCount(); ++i) {
        TNVTreeNode* child = node->child(i);
        if (!TreeEditor::isEditableValue(child))
            continue;
        // After the event that expanded the node: a key press (Right, +) still moves the
        // current item when it returns, which would close an editor opened now.
        const QPersistentModelIndex value(model_->indexOf(child));
        QMetaObject::invokeMethod(
            this,
            [this, value] {
                if (!value.isValid())
                    return;  // the tree was rebuilt meanwhile
                treeView_->setCurrentIndex(value);
                beginValueEdit(model_->nodeFromIndex(value));
            },
            Qt::QueuedConnection);
        return;
    }
}

void TMainForm::beginValueEdit(TNVTreeNode* valueNode) {
    if (!TreeEditor::isEditableValue(valueNode))
        return;
    if (TreeEditor::isDateTimeValue(valueNode)) {
        if (core_->state().treeInteraction && dataSelector_) {
            valueNode->DatePicked = true;
            dataSelector_->editDateTime(valueNode);
        }
        return;
    }
    treeView_->edit(model_->indexOf(valueNode));
}

void TMainForm::TreeViewClick(const QModelIndex& index) {
    // A click on a selected date-time value opens the picker, as typing opens for others.
    TNVTreeNode* node = model_->nodeFromIndex(index);
    if (TreeEditor::isDateTimeValue(node) && treeView_->currentIndex() == index)
        beginValueEdit(node);
}

void TMainForm::TreeViewChange(const QModelIndex& current) {
    removeChoiceList();
    if (!core_->state().treeInteraction)
        return;
    TNVTreeNode* node = model_->nodeFromIndex(current);
    const auto choices = core_->editor().choiceListFor(node);
    if (!choices)
        return;
    choiceList_->show(treeView_->viewport(), treeView_->visualRect(current), *choices,
                      [this, node](const QString& chosen) {
                          choiceList_->remove();
                          core_->editor().applyChoice(node, chosen);
                      });
}

void TMainForm::TreeViewDblClick(const QModelIndex& index) {
    TNVTreeNode* node = model_->nodeFromIndex(index);
    if (!node)
        return;
    treeView_->setCurrentIndex(index);
    TNVTreeNode* target = node;
    if ((node->kind() == NodeKind::Value || node->kind() == NodeKind::AttributeField) &&
        node->parent())
        target = node->parent();
    core_->treeCommands().expandItemAndChildren(target);
}

void TMainForm::AddArrayElementClick() {
    core_->editor().addArrayElement(selectedNode());
}

void TMainForm::updateTreeContextMenu(TNVTreeNode* node, bool overNode) {
    const auto enable = [this](const QString& name, bool on) {
        if (QAction* a = action(name))
            a->setEnabled(on && kWorkingEntries.contains(name));
    };
    QMenu* inputMenu = findChild<QMenu*>(QStringLiteral("TreePopupInput"));
    QMenu* outputMenu = findChild<QMenu*>(QStringLiteral("TreePopupOutput"));
    inputMenu->setEnabled(true);
    outputMenu->setEnabled(true);
    for (QMenu* menu : {inputMenu, outputMenu})
        for (QAction* a : menu->actions())
            a->setEnabled(false);
    findChild<QMenu*>(QStringLiteral("TreePopupExpand"))->setEnabled(overNode);
    removeChoiceList();
    if (!node)
        return;

    TNVTreeNode* input = TreeEditor::inputNodeOf(node);
    const IOMessageRef record = node->message();
    enable(QStringLiteral("TreeInputAddElement"),
           input && input != node &&
               (node->kind() == NodeKind::Structure || node->kind() == NodeKind::SimpleField) &&
               record && record.isArray());
    const auto fieldRules = [&](TNVTreeNode* field) {
        const IOMessageRef r = field ? field->message() : IOMessageRef();
        enable(QStringLiteral("TreeOutputViewFile"),
               r && !r.hasEnumValues() && r.info() == QLatin1String("file"));
        enable(QStringLiteral("TreeOutputSaveField"), !TreeEditor::inputNodeOf(field));
    };
    switch (node->kind()) {
        case NodeKind::Root:
            if (!node->hasChildren()) {
                inputMenu->setEnabled(false);
                outputMenu->setEnabled(false);
                break;
            }
            for (const char* name : {"TreeInputClearAll", "TreeInputSaveAll", "TreeInputRestoreAll",
                                     "TreeOutputClearAll", "TreeOutputSaveAll"})
                enable(QString::fromLatin1(name), true);
            break;
        case NodeKind::Operation:
            for (const char* name : {"TreeInputClear", "TreeInputSave", "TreeInputRestore",
                                     "TreeOutputClear", "TreeDisplayGrid", "TreeOutputSave"})
                enable(QString::fromLatin1(name), true);
            break;
        case NodeKind::InputMessage:
            for (const char* name : {"TreeInputClear", "TreeInputSave", "TreeInputRestore"})
                enable(QString::fromLatin1(name), true);
            break;
        case NodeKind::OutputMessage:
            for (const char* name : {"TreeOutputClear", "TreeDisplayGrid", "TreeOutputSave"})
                enable(QString::fromLatin1(name), true);
            break;
        case NodeKind::SimpleField:
            fieldRules(node);
            break;
        case NodeKind::Value:
            fieldRules(node->parent());
            break;
        default:
            break;
    }
}

}  // namespace sondar
