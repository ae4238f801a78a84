#include "workbench/core/files/input_files.h"

#include <QFile>

#include "workbench/core/analyse/tree_commands.h"
#include "workbench/core/files/input_values_file.h"
#include "workbench/core/files/saving.h"

namespace sondar {

namespace {

const QString kInputFilter = QStringLiteral("Norvale Input Files (*.xml);;All files (*)");

}  // namespace

std::vector<TNVTreeNode*> InputFiles::allOperations() const {
    std::vector<TNVTreeNode*> operations;
    if (TNVTreeNode* root = ctx_.tree.root())
        for (int i = 0; i < root->childCount(); ++i)
            operations.push_back(root->child(i));
    return operations;
}

bool InputFiles::saveInput(TNVTreeNode* selected, bool all) {
    std::vector<const TNVTreeNode*> operations;
    QString status;
    if (all) {
        if (ctx_.tree.empty() || !ctx_.tree.root()->hasChildren()) {
            ctx_.messages.showMessage(
                QStringLiteral("     Please connect to a Web service first.     "));
            return false;
        }
        if (ctx_.messages.ask(QStringLiteral("Save input values for ALL operations?"),
                              MessageButtons::YesNo) != MessageAnswer::Yes) {
            ctx_.status.setStatus(QStringLiteral("Save Canceled"));
            return false;
        }
        for (TNVTreeNode* operation : allOperations())
            operations.push_back(operation);
        status = QStringLiteral("Saving all input values...");
    } else {
        if (!selected || selected->kind() == NodeKind::Root) {
            ctx_.messages.showMessage(
                QStringLiteral("You must first select the operation on the "
                               "tree containing the input data you wish to "
                               "save."));
            return false;
        }
        ctx_.view.endEditing();
        TNVTreeNode* operation = operationOf(selected);
        if (!operation || !operation->firstChild() || !operation->firstChild()->hasChildren()) {
            ctx_.status.setStatus(QStringLiteral("No Save Performed"));
            ctx_.messages.showMessage(
                QStringLiteral("This operation has no input values so there is nothing to save."));
            return false;
        }
        operations.push_back(operation);
        status = QStringLiteral("Saving input values for operation ") + operation->caption() +
                 QStringLiteral("...");
    }
    const QString path = chooseSavePath(files_, QStringLiteral("Save Input"), workingDirectory(),
                                        kInputFilter, QStringLiteral("xml"));
    if (path.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Save Canceled"));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(status);
    QString error;
    if (!writeWholeFile(path, writeInputValues(ctx_.state.currentService, operations), error)) {
        ctx_.status.setStatus(QStringLiteral("Error Saving Iutput"));
        ctx_.messages.showMessage(QStringLiteral("File error: ") + error +
                                  QStringLiteral("\nThe input values could not be saved"));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Save Successful"));
    return true;
}

bool InputFiles::restoreInput(TNVTreeNode* selected, bool all) {
    std::vector<TNVTreeNode*> operations;
    if (all) {
        if (ctx_.tree.empty() || !ctx_.tree.root()->hasChildren()) {
            ctx_.messages.showMessage(
                QStringLiteral("     Please connect to a Web service first.     "));
            return false;
        }
        operations = allOperations();
    } else {
        if (!selected || selected->kind() == NodeKind::Root) {
            ctx_.messages.showMessage(
                QStringLiteral("You must first select the operation on the "
                               "tree containing the input data you wish to "
                               "restore."));
            return false;
        }
        TNVTreeNode* operation = operationOf(selected);
        if (!operation || !operation->firstChild() || !operation->firstChild()->hasChildren()) {
            ctx_.status.setStatus(QStringLiteral("No Restore Performed"));
            ctx_.messages.showMessage(QStringLiteral(
                "This operation has no input values so there is nothing to restore."));
            return false;
        }
        operations.push_back(operation);
    }
    const QString path = files_ ? files_->getOpenFileName(QStringLiteral("Open Input File"),
                                                          workingDirectory(), kInputFilter)
                                : QString();
    if (path.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Restore Canceled"));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Restoring..."));
    return restoreFile(path, operations, all);
}

bool InputFiles::restoreForBatch(TNVTreeNode* operation, const QString& path) {
    if (!operation->firstChild() || !operation->firstChild()->hasChildren())
        return true;
    return restoreFile(path, {operation}, false);
}

bool InputFiles::restoreFile(const QString& path, const std::vector<TNVTreeNode*>& operations,
                             bool all) {
    MainState& state = ctx_.state;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString text = QStringLiteral("File error: ") + file.errorString() +
                             QStringLiteral("\nThe input values could not be restored.");
        ctx_.status.setStatus(QStringLiteral("Error restoring input values"));
        if (state.batch.batchMode)
            state.batch.fail(text);
        else
            ctx_.messages.showMessage(text);
        return false;
    }
    const QByteArray content = file.readAll();
    file.close();

    RestoreResult result = RestoreResult::Mismatch;
    state.treeInteraction = false;
    try {
        result =
            restoreInputValues(content, state.currentService, operations, all, editor_, ctx_.tree);
    } catch (const std::exception&) {
        state.treeInteraction = true;
        ctx_.status.setStatus(QStringLiteral("Error restoring input values"));
        if (state.batch.batchMode)
            state.batch.fail(QStringLiteral("File error: The input values could not be restored."));
        else
            ctx_.messages.showMessage(
                QStringLiteral("File error. The input values could not be restored."));
        return false;
    }
    state.treeInteraction = true;
    if (result == RestoreResult::Mismatch) {
        ctx_.status.setStatus(QStringLiteral("Did Not Match"));
        if (state.batch.batchMode)
            state.batch.fail(QStringLiteral("Input file does not match operation"));
        else
            ctx_.messages.showMessage(
                QStringLiteral("The data in the file does not match the "
                               "input structure for this operation or "
                               "service."));
        // Half-restored values must not be sent by mistake.
        commands_.rebuildAll(MessageDirection::Input);
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Restore Successful"));
    return true;
}

}  // namespace sondar
