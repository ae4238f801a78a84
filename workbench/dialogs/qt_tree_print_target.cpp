#include "workbench/dialogs/qt_tree_print_target.h"

#include <QPrinter>

#include "workbench/dialogs/line_printing.h"

namespace sondar {

QtTreePrintTarget::QtTreePrintTarget(PrintDialogSeam& dialogs, QWidget* parent)
    : dialogs_(dialogs), parent_(parent), font_(listingFont()) {}

QtTreePrintTarget::~QtTreePrintTarget() = default;

std::optional<PrintRange> QtTreePrintTarget::choosePrinter(PrintRange preselected) {
    auto printer = std::make_unique<QPrinter>();
    const bool selection = preselected == PrintRange::Selection;
    // Set on the printer as well as offered by the dialog: an answer that leaves the range
    // alone keeps the one the command asked for.
    if (selection)
        printer->setPrintRange(QPrinter::Selection);
    if (!dialogs_.choosePrinter(*printer, parent_, selection)) {
        printer_.reset();
        return std::nullopt;
    }
    const PrintRange chosen =
        printer->printRange() == QPrinter::Selection ? PrintRange::Selection : PrintRange::All;
    printer_ = std::move(printer);
    return chosen;
}

bool QtTreePrintTarget::printLines(const QStringList& lines, const QString& title) {
    if (!printer_)
        return false;
    const bool printed = sondar::printLines(lines, font_, *printer_, title);
    // One print job per choice of printer.
    printer_.reset();
    return printed;
}

}  // namespace sondar
