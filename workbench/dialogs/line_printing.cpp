#include "workbench/dialogs/line_printing.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPointF>
#include <QPrinter>
#include <QRectF>
#include <QTextLayout>
#include <QTextOption>

namespace sondar {

namespace {

constexpr qreal kMinimumMarginMm = 15.0;
constexpr qreal kListingPointSize = 9.0;

// One printed row: a visual line of a laid-out source line (or an empty source line), the page
// it is on and how far down it starts.
struct Row {
    int layout = -1;  // index into the layouts; -1 for an empty source line
    int line = 0;
    int page = 0;
    qreal y = 0;
};

// The lines laid out and cut into pages.
struct Pages {
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    std::vector<Row> rows;  // in page order
    int count = 1;
};

// Widens the printer's margins to the minimum; margins the user made wider stay.
void ensureMargins(QPrinter& printer) {
    QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    margins.setLeft(std::max(margins.left(), kMinimumMarginMm));
    margins.setTop(std::max(margins.top(), kMinimumMarginMm));
    margins.setRight(std::max(margins.right(), kMinimumMarginMm));
    margins.setBottom(std::max(margins.bottom(), kMinimumMarginMm));
    printer.setPageMargins(margins, QPageLayout::Millimeter);
}

int leadingBlanks(const QString& line) {
    int n = 0;
    while (n < line.size() && line.at(n).isSpace())
        ++n;
    return n;
}

// Lays `text` out in `width`; continuation lines start `hang` in, so an indented line stays
// visibly one entry.
std::unique_ptr<QTextLayout> layOut(const QString& text, const QFont& font, QPrinter& printer,
                                    qreal width, qreal hang) {
    auto layout = std::make_unique<QTextLayout>(text, font, &printer);
    QTextOption option;
    // Captions and locations often have no blanks to break at.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        const qreal indent = line.lineNumber() == 0 ? 0 : hang;
        line.setLineWidth(width - indent);
        line.setPosition(QPointF(indent, 0));
    }
    layout->endLayout();
    return layout;
}

// Lays out every line in `width` and cuts the rows into pages of `bodyHeight`; a row never
// straddles two pages.
Pages paginate(const QStringList& lines, const QFont& font, QPrinter& printer, qreal width,
               qreal bodyHeight) {
    const QFontMetricsF metrics(font, &printer);
    Pages pages;
    int page = 0;
    qreal y = 0;
    const auto place = [&](int layout, int line, qreal height) {
        if (y > 0 && y + height > bodyHeight) {
            ++page;
            y = 0;
        }
        pages.rows.push_back(Row{layout, line, page, y});
        y += height;
    };
    for (const QString& text : lines) {
        if (text.isEmpty()) {
            place(-1, 0, metrics.lineSpacing());
            continue;
        }
        const qreal hang =
            std::min(metrics.horizontalAdvance(QString(leadingBlanks(text) + 2, QLatin1Char(' '))),
                     width / 2);
        pages.layouts.push_back(layOut(text, font, printer, width, hang));
        const QTextLayout& layout = *pages.layouts.back();
        for (int i = 0; i < layout.lineCount(); ++i)
            place(static_cast<int>(pages.layouts.size()) - 1, i, layout.lineAt(i).height());
    }
    pages.count = page + 1;
    return pages;
}

}  // namespace

QFont listingFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kListingPointSize);
    return font;
}

bool printLines(const QStringList& lines, const QFont& font, QPrinter& printer,
                const QString& title) {
    printer.setDocName(title);
    ensureMargins(printer);

    // Device pixels of the printable area; the footer takes two rows at its foot.
    const qreal width = printer.width();
    const qreal height = printer.height();
    const qreal rowHeight = QFontMetricsF(font, &printer).lineSpacing();
    const Pages pages =
        paginate(lines, font, printer, width, std::max(height - 2 * rowHeight, rowHeight));

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(font);
    const QPageRanges ranges = printer.pageRanges();
    // Printers that cannot make copies themselves get the document several times.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    bool firstPage = true;
    for (int copy = 0; copy < copies; ++copy) {
        std::size_t next = 0;
        for (int p = 0; p < pages.count; ++p) {
            std::size_t end = next;
            while (end < pages.rows.size() && pages.rows[end].page == p)
                ++end;
            if (!ranges.isEmpty() && !ranges.contains(p + 1)) {
                next = end;
                continue;
            }
            if (!firstPage && !printer.newPage())
                return false;
            firstPage = false;
            for (; next < end; ++next) {
                const Row& row = pages.rows[next];
                if (row.layout >= 0)
                    pages.layouts[static_cast<std::size_t>(row.layout)]->lineAt(row.line).draw(
                        &painter, QPointF(0, row.y));
            }
            painter.drawText(QRectF(0, height - rowHeight, width, rowHeight),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.count));
        }
    }
    painter.end();
    return printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

}  // namespace sondar
