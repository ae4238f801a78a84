// Choosing a printer behind a seam: the viewers ask through it, the windows answer with the
// platform's print dialog, tests answer with a PDF file or a refusal.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace sondar {

class PrintDialogSeam {
  public:
    virtual ~PrintDialogSeam();
    // Lets the user set up `printer`; true when printing should go ahead. With
    // `selectionRange` the dialog offers (and preselects) printing only the selection.
    virtual bool choosePrinter(QPrinter& printer, QWidget* parent, bool selectionRange) = 0;
};

class QtPrintDialogs final : public PrintDialogSeam {
  public:
    bool choosePrinter(QPrinter& printer, QWidget* parent, bool selectionRange) override;

    // Test hooks, process-wide until cleared: answer without showing a dialog, either by
    // printing into a PDF file or by cancelling.
    static void scriptPdfOutput(const QString& pdfPath);
    static void scriptCancel();
    static void clearScript();
};

}  // namespace sondar
