// Printing plain text lines as readable pages: margins of at least 15 mm, lines too long for
// the page wrapped with their continuation indented past the line's own indentation, and
// "Page N of M" at the foot of every page. Honours the page range chosen in the print dialog.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace sondar {

// The font listings print in when the user has not chosen one: the system's fixed-pitch font
// at 9 points, so indentation lines up and deep trees still fit the page.
QFont listingFont();

// Prints `lines` on `printer` (already set up by the print dialog) as one document named
// `title`; false when the printer could not start or failed while printing.
bool printLines(const QStringList& lines, const QFont& font, QPrinter& printer,
                const QString& title);

}  // namespace sondar
