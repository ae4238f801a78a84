// Where "Print Tree" sends its listing: the windows ask the platform's print dialog and print
// through Qt; tests answer with a PDF file or a refusal.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace sondar {

// What the print dialog's range asks for: everything, or only the selected node's subtree.
enum class PrintRange { All, Selection };

class TreePrintTarget {
  public:
    virtual ~TreePrintTarget() = default;
    // Asks the user for a printer with `preselected` as the dialog's range; nothing when the
    // user cancelled, else the range the user chose.
    virtual std::optional<PrintRange> choosePrinter(PrintRange preselected) = 0;
    // Prints `lines` on the printer just chosen as one document named `title`; false when the
    // printer did not take it.
    virtual bool printLines(const QStringList& lines, const QString& title) = 0;
};

}  // namespace sondar
