#include "workbench/core/files/output_files.h"

#include <QDir>
#include <QTemporaryDir>

#include "workbench/core/analyse/tree_commands.h"
#include "workbench/core/files/saving.h"
#include "workbench/core/files/spreadsheet.h"

namespace sondar {

namespace {

constexpr char kLineEnd[] = "\r\n";

void appendFieldLines(const TNVTreeNode* node, bool withNames, QByteArray& out) {
    forEachNode(const_cast<TNVTreeNode*>(node), [&](TNVTreeNode* n) {
        if (n->kind() != NodeKind::SimpleField && n->kind() != NodeKind::AttributeField)
            return;
        const TNVTreeNode* value = n->firstChild();
        if (withNames)
            out += n->caption().toUtf8() + kLineEnd;
        out += (value && value->kind() == NodeKind::Value ? value->caption() : QString()).toUtf8() +
               kLineEnd;
    });
}

}  // namespace

QByteArray outputValuesText(const TNVTreeNode* node, OutputScope scope) {
    QByteArray out;
    if (!node)
        return out;
    if (scope == OutputScope::Field) {
        appendFieldLines(node, false, out);
        return out;
    }
    if (scope == OutputScope::AllOperations)
        out += node->caption().toUtf8() + kLineEnd;
    if (const TNVTreeNode* output = node->lastChild())
        for (int i = 0; i < output->childCount(); ++i)
            appendFieldLines(output->child(i), true, out);
    return out;
}

QByteArray gridCsv(const ResultGrid& grid, GridOrder order) {
    int width = 0;
    while (width + 1 < grid.columnCount() && !grid.cell(width + 1, 1).isEmpty())
        ++width;
    int height = 0;
    for (int row = 1; row < grid.rowCount(); ++row) {
        bool used = false;
        for (int column = 1; column <= width && !used; ++column)
            used = !grid.cell(column, row).isEmpty();
        if (!used)
            break;
        ++height;
    }
    const auto quoted = [&grid](int column, int row) {
        return '"' + grid.cell(column, row).toUtf8() + '"';
    };
    QByteArray out;
    const int lines = order == GridOrder::Rows ? height : width;
    const int cells = order == GridOrder::Rows ? width : height;
    for (int line = 1; line <= lines; ++line) {
        for (int cell = 1; cell <= cells; ++cell) {
            if (cell > 1)
                out += ',';
            out += order == GridOrder::Rows ? quoted(cell, line) : quoted(line, cell);
        }
        out += kLineEnd;
    }
    return out;
}

bool OutputFiles::saveOutput(TNVTreeNode* selected, OutputScope scope) {
    const TNVTreeNode* source = nullptr;
    OutputScope written = scope;
    QString status;
    if (scope == OutputScope::AllOperations) {
        if (ctx_.tree.empty() || !ctx_.tree.root()->hasChildren()) {
            ctx_.messages.showMessage(
                QStringLiteral("     Please connect to a Web service first.     "));
            return false;
        }
        if (ctx_.messages.ask(QStringLiteral("Save output values for ALL operations?"),
                              MessageButtons::YesNo) != MessageAnswer::Yes) {
            ctx_.status.setStatus(QStringLiteral("Save Canceled"));
            return false;
        }
        status = QStringLiteral("Saving all output values...");
    } else {
        if (!selected || selected->kind() == NodeKind::Root) {
            ctx_.messages.showMessage(
                QStringLiteral("You must first select the operation on the "
                               "tree containing the output data you wish "
                               "to save."));
            return false;
        }
        ctx_.view.endEditing();
        TNVTreeNode* field = selected->kind() == NodeKind::Value ? selected->parent() : selected;
        TNVTreeNode* operation = operationOf(selected);
        if (field && field->kind() == NodeKind::SimpleField) {
            source = field;
            written = OutputScope::Field;
        } else {
            if (!operation || !operation->lastChild() || !operation->lastChild()->hasChildren()) {
                ctx_.status.setStatus(QStringLiteral("No Save Performed"));
                ctx_.messages.showMessage(QStringLiteral(
                    "This operation has no output values so there is nothing to save."));
                return false;
            }
            source = operation;
            written = OutputScope::Operation;
        }
        status = QStringLiteral("Saving output values for operation ") +
                 (operation ? operation->caption() : QString()) + QStringLiteral("...");
    }
    const QString chosen = chooseSavePath(
        files_, QStringLiteral("Save Output"), ctx_.state.options.workingDirectory,
        QStringLiteral("Norvale Output Files (*.nof);;All files (*)"), QStringLiteral("nof"));
    if (chosen.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Save Canceled"));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(status);
    QByteArray content;
    if (scope == OutputScope::AllOperations) {
        for (int i = 0; i < ctx_.tree.root()->childCount(); ++i)
            content += outputValuesText(ctx_.tree.root()->child(i), OutputScope::AllOperations);
    } else {
        content = outputValuesText(source, written);
    }
    QString error;
    if (!writeWholeFile(chosen, content, error)) {
        ctx_.status.setStatus(QStringLiteral("Error Saving Output"));
        ctx_.messages.showMessage(QStringLiteral("File error: ") + error +
                                  QStringLiteral("\nThe output values could not be saved"));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Save Successful"));
    return true;
}

bool OutputFiles::saveGrid(GridOrder order) {
    const QString chosen = chooseSavePath(
        files_, QStringLiteral("Save Grid Data"), ctx_.state.options.workingDirectory,
        QStringLiteral("Comma Separated Values (*.csv)"), QStringLiteral("csv"));
    if (chosen.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Save Canceled..."));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Saving..."));
    QString error;
    if (!writeWholeFile(chosen, gridCsv(ctx_.state.resultGrid, order), error)) {
        ctx_.status.setStatus(QStringLiteral("Error Saving Grid data"));
        ctx_.messages.showMessage(QStringLiteral("File error: ") + error +
                                  QStringLiteral("\nThe grid data could not be saved."));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Save Successful"));
    return true;
}

bool OutputFiles::saveExcel() {
    const QString chosen = chooseSavePath(
        files_, QStringLiteral("Save as Excel File"), ctx_.state.options.workingDirectory,
        QStringLiteral("Excel Files (*.xlsx);;All Files (*)"), QStringLiteral("xlsx"));
    if (chosen.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("Save Canceled..."));
        return false;
    }
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Saving..."));
    switch (writeGridWorkbook(ctx_.state.resultGrid, chosen)) {
        case WorkbookResult::Written:
            ctx_.status.setStatus(QStringLiteral("Save Successful"));
            return true;
        case WorkbookResult::TooLarge:
            ctx_.status.setStatus(QStringLiteral("Save Failed"));
            ctx_.messages.showMessage(
                QStringLiteral("Could not save data to an Excel file. Maximum "
                               "worksheet size may have been reached."));
            return false;
        case WorkbookResult::Failed:
            break;
    }
    ctx_.status.setStatus(QStringLiteral("Export Failed"));
    ctx_.messages.showMessage(QStringLiteral("Could not save data to an Excel file."));
    return false;
}

bool OutputFiles::exportExcel() {
    WaitCursor wait(ctx_.status);
    ctx_.status.setStatus(QStringLiteral("Exporting..."));
    // The workbook outlives this call: the spreadsheet program opens it later.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/sondar-export-XXXXXX"));
    folder.setAutoRemove(false);
    const QString path = folder.filePath(QStringLiteral("Sondar results.xlsx"));
    const WorkbookResult result =
        folder.isValid() ? writeGridWorkbook(ctx_.state.resultGrid, path) : WorkbookResult::Failed;
    if (result == WorkbookResult::TooLarge) {
        ctx_.status.setStatus(QStringLiteral("Export Failed"));
        ctx_.messages.showMessage(
            QStringLiteral("Could not export data to Excel. Maximum "
                           "worksheet size may have been reached."));
        return false;
    }
    if (result == WorkbookResult::Failed || !openFile_ || !openFile_(path)) {
        ctx_.status.setStatus(QStringLiteral("Export Failed"));
        ctx_.messages.showMessage(QStringLiteral("     Could not export data to Excel.     "));
        return false;
    }
    ctx_.status.setStatus(QStringLiteral("Export Successful"));
    return true;
}

QString OutputFiles::resultFilePath(const TNVTreeNode* selected) const {
    const TNVTreeNode* field =
        selected && selected->kind() == NodeKind::Value ? selected->parent() : selected;
    if (!field || field->kind() != NodeKind::SimpleField)
        return {};
    const IOMessageRef record = field->message();
    const TNVTreeNode* value = field->firstChild();
    if (!record || record.hasEnumValues() || record.info() != QLatin1String("file") || !value ||
        value->caption().isEmpty())
        return {};
    return ctx_.state.options.workingDirectory + value->caption();
}

}  // namespace sondar
