#include "workbench/core/printing/print_tree_flow.h"

#include <exception>
#include <optional>

#include "workbench/core/printing/tree_listing.h"

namespace sondar {

namespace {

// Everything that happens under the wait cursor; the outcome's status is set afterwards, when
// the cursor is normal again.
PrintTreeOutcome printUnderWaitCursor(const PrintTreeRequest& request, TreePrintTarget& target,
                                      StatusSeam& status) {
    const WaitCursor wait(status);
    status.setStatus(QStringLiteral("Printing..."));
    try {
        const std::optional<PrintRange> range =
            target.choosePrinter(request.nodeAndChildren ? PrintRange::Selection : PrintRange::All);
        if (!range)
            return PrintTreeOutcome::Cancelled;
        const TNVTreeNode* start = *range == PrintRange::Selection && request.selected
                                       ? request.selected
                                       : request.tree.root();
        const QStringList lines = treeListing(*start, request.location, request.service);
        return target.printLines(lines, request.location) ? PrintTreeOutcome::Printed
                                                          : PrintTreeOutcome::Failed;
    } catch (const std::exception&) {
        return PrintTreeOutcome::Failed;
    }
}

}  // namespace

PrintTreeOutcome printTree(const PrintTreeRequest& request, TreePrintTarget& target,
                           MessageSeam& messages, StatusSeam& status) {
    // "Canceled" here and "Cancelled" after the dialog: both are the texts users know.
    if (request.tree.empty()) {
        status.setStatus(QStringLiteral("Print Canceled"));
        messages.showMessage(
            QStringLiteral("You must first analyze a Web service before you can print it."));
        return PrintTreeOutcome::NoTree;
    }
    const PrintTreeOutcome outcome = printUnderWaitCursor(request, target, status);
    switch (outcome) {
        case PrintTreeOutcome::Cancelled:
            status.setStatus(QStringLiteral("Print Cancelled"));
            break;
        case PrintTreeOutcome::Printed:
            status.setStatus(QStringLiteral("Print Successful"));
            break;
        case PrintTreeOutcome::Failed:
            status.setStatus(QStringLiteral("Print Failed"));
            messages.showMessage(QStringLiteral(
                "Could not print tree. Please be sure printer is connected and available."));
            break;
        case PrintTreeOutcome::NoTree:
            break;
    }
    return outcome;
}

}  // namespace sondar
