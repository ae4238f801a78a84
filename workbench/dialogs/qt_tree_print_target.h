// "Print Tree" on a real printer: the print dialog through the print dialog seam, then the
// listing in the listing font with page numbers.
#pragma once

#include <memory>
#include <optional>

#include <QFont>
#include <QString>
#include <QStringList>

#include "workbench/core/printing/tree_print_target.h"
#include "workbench/dialogs/print_dialog_seam.h"

class QPrinter;
class QWidget;

namespace sondar {

class QtTreePrintTarget final : public TreePrintTarget {
  public:
    // `parent` (may be null) owns the print dialog while it shows.
    QtTreePrintTarget(PrintDialogSeam& dialogs, QWidget* parent);
    ~QtTreePrintTarget() override;
    QtTreePrintTarget(const QtTreePrintTarget&) = delete;
    QtTreePrintTarget& operator=(const QtTreePrintTarget&) = delete;

    std::optional<PrintRange> choosePrinter(PrintRange preselected) override;
    // Prints on the printer the last choosePrinter returned; false when there is none.
    bool printLines(const QStringList& lines, const QString& title) override;

  private:
    PrintDialogSeam& dialogs_;
    QWidget* parent_;
    QFont font_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace sondar
