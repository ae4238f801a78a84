#include "workbench/dialogs/print_dialog_seam.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace sondar {

namespace {

enum class Script { None, PdfOutput, Cancel };

struct PrintScript {
    Script kind = Script::None;
    QString pdfPath;
};

PrintScript& script() {
    static PrintScript current;
    return current;
}

}  // namespace

PrintDialogSeam::~PrintDialogSeam() = default;

bool QtPrintDialogs::choosePrinter(QPrinter& printer, QWidget* parent, bool selectionRange) {
    switch (script().kind) {
        case Script::PdfOutput:
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(script().pdfPath);
            return true;
        case Script::Cancel:
            return false;
        case Script::None:
            break;
    }
    // The dialog takes its initial range from the printer, so preselect before it exists.
    if (selectionRange)
        printer.setPrintRange(QPrinter::Selection);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionRange);
    // The caller may be showing the wait cursor; the dialog is for the user to work in.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    return accepted;
}

void QtPrintDialogs::scriptPdfOutput(const QString& pdfPath) {
    script() = PrintScript{Script::PdfOutput, pdfPath};
}

void QtPrintDialogs::scriptCancel() {
    script() = PrintScript{Script::Cancel, QString()};
}

void QtPrintDialogs::clearScript() {
    script() = PrintScript{};
}

}  // namespace sondar
