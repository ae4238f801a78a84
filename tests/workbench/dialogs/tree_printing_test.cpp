// "Print Tree" through Qt Print Support into PDF files, read back with poppler's tools: the
// listing's text, the document title, page numbers, margins, wrapping, page ranges, and the
// statuses of a cancelled and a failed print.
#include <functional>
#include <memory>
#include <optional>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPageRanges>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "workbench/core/printing/print_tree_flow.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/status_seam.h"
#include "workbench/core/tree/nv_tree.h"
#include "workbench/dialogs/print_dialog_seam.h"
#include "workbench/dialogs/qt_tree_print_target.h"

using namespace sondar;

namespace {

const QString kLocation = QStringLiteral("http://example.test/quotes.wsdl");
constexpr double kPointsPerMm = 72.0 / 25.4;

class RecordingMessages final : public MessageSeam {
  public:
    void showMessage(const QString& text) override { shown << text; }
    MessageAnswer ask(const QString&, MessageButtons) override {
        qFatal("printing asks no questions");
    }
    QStringList shown;
};

class RecordingStatus final : public StatusSeam {
  public:
    void setStatus(const QString& text) override { last = text; }
    void beginWait() override {}
    void endWait() override {}
    QString last;
};

// Sets the printer up as a test wants it, as the user would in the dialog.
class PrinterSetup final : public PrintDialogSeam {
  public:
    bool choosePrinter(QPrinter& printer, QWidget*, bool) override { return setup(printer); }
    std::function<bool(QPrinter&)> setup;
};

TNVTreeNode* add(TNVTree& tree, TNVTreeNode* parent, NodeKind kind, const QString& caption) {
    return tree.appendChild(parent, std::make_unique<TNVTreeNode>(kind, caption));
}

TNVTreeNode* addField(TNVTree& tree, TNVTreeNode* parent, NodeKind kind, const QString& name,
                      const QString& value) {
    TNVTreeNode* field = add(tree, parent, kind, name);
    add(tree, field, NodeKind::Value, value);
    add(tree, field, NodeKind::Type, QStringLiteral("string"));
    return field;
}

// Root, then `operations` operations "OpNNN", each with one input field whose value is
// `value`, and an empty output.
void fillTree(TNVTree& tree, int operations, const QString& value) {
    TNVTreeNode* root =
        tree.addRoot(std::make_unique<TNVTreeNode>(NodeKind::Root, QStringLiteral("Operations")));
    for (int n = 0; n < operations; ++n) {
        TNVTreeNode* op = add(tree, root, NodeKind::Operation,
                              QStringLiteral("Op%1").arg(n, 3, 10, QLatin1Char('0')));
        TNVTreeNode* input = add(tree, op, NodeKind::InputMessage, QStringLiteral("Input"));
        addField(tree, input, NodeKind::SimpleField, QStringLiteral("symbol"), value);
        add(tree, op, NodeKind::OutputMessage, QStringLiteral("Output"));
    }
}

// A poppler tool's standard output; nothing when the tool is missing or failed.
std::optional<QString> poppler(const QString& tool, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A "Name: value" line of pdfinfo.
QString infoField(const QString& info, const QString& name) {
    const QRegularExpression line(QStringLiteral("^") + name + QStringLiteral(":\\s*(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

struct Box {
    double xMin, yMin, xMax, yMax;
    int page;
    QString text;
};

// Every word's box and page, and the page size, from pdftotext's bounding-box output.
bool wordBoxes(const QString& html, QList<Box>& words, double& width, double& height) {
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch size = page.match(html);
    if (!size.hasMatch())
        return false;
    width = size.captured(1).toDouble();
    height = size.captured(2).toDouble();
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QStringList pages = html.split(QStringLiteral("<page "));
    for (int p = 1; p < pages.size(); ++p) {
        for (auto it = word.globalMatch(pages[p]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            words.append({m.captured(1).toDouble(), m.captured(2).toDouble(),
                          m.captured(3).toDouble(), m.captured(4).toDouble(), p, m.captured(5)});
        }
    }
    return !words.isEmpty();
}

}  // namespace

class TreePrintingTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void printsTheListingTitledWithTheLocation();
    void nodeAndChildrenPrintsOnlyTheSelectedSubtree();
    void longListingIsPagedNumberedAndInsideTheMargins();
    void longCaptionWrapsInsteadOfLeavingThePage();
    void pageRangeFromTheDialogIsHonoured();
    void cancelledAndFailedPrints();

  private:
    PrintTreeOutcome print(const TNVTreeNode* selected, bool nodeAndChildren,
                           PrintDialogSeam& dialogs);
    // The PDF's text, or skips the test when poppler is missing.
    QString pdfText();

    QTemporaryDir dir_;
    QString pdf_;
    TNVTree tree_;
    RecordingMessages messages_;
    RecordingStatus status_;
    QtPrintDialogs dialogs_;
};

void TreePrintingTest::init() {
    QVERIFY(dir_.isValid());
    pdf_ = dir_.filePath(QStringLiteral("tree.pdf"));
    QFile::remove(pdf_);
    tree_.clear();
    messages_ = RecordingMessages();
    status_ = RecordingStatus();
    QtPrintDialogs::scriptPdfOutput(pdf_);
}

void TreePrintingTest::cleanup() {
    QtPrintDialogs::clearScript();
}

PrintTreeOutcome TreePrintingTest::print(const TNVTreeNode* selected, bool nodeAndChildren,
                                         PrintDialogSeam& dialogs) {
    QtTreePrintTarget target(dialogs, nullptr);
    return printTree({tree_, selected, kLocation, QStringLiteral("QuoteService"), nodeAndChildren},
                     target, messages_, status_);
}

QString TreePrintingTest::pdfText() {
    const std::optional<QString> text = poppler(QStringLiteral("pdftotext"), {pdf_, "-"});
    if (!text)
        qWarning("pdftotext is missing or failed");
    return text.value_or(QString());
}

void TreePrintingTest::printsTheListingTitledWithTheLocation() {
    TNVTreeNode* root =
        tree_.addRoot(std::make_unique<TNVTreeNode>(NodeKind::Root, QStringLiteral("Operations")));
    TNVTreeNode* op = add(tree_, root, NodeKind::Operation, QStringLiteral("GetQuote"));
    TNVTreeNode* input = add(tree_, op, NodeKind::InputMessage, QStringLiteral("Input"));
    addField(tree_, input, NodeKind::AttributeField, QStringLiteral("currency"),
             QStringLiteral("USD"));
    add(tree_, op, NodeKind::OutputMessage, QStringLiteral("Output"));

    QCOMPARE(print(nullptr, false, dialogs_), PrintTreeOutcome::Printed);
    QCOMPARE(status_.last, QStringLiteral("Print Successful"));
    QVERIFY(messages_.shown.isEmpty());

    const std::optional<QString> info = poppler(QStringLiteral("pdfinfo"), {pdf_});
    if (!info)
        QFAIL("poppler's tools are not installed; the PDF was not read back");
    QCOMPARE(infoField(*info, QStringLiteral("Title")), kLocation);
    QCOMPARE(infoField(*info, QStringLiteral("Pages")), QStringLiteral("1"));
    const QString text = pdfText();
    for (const char* expected : {"WSDL: http://example.test/quotes.wsdl", "SERVICE: QuoteService",
                                 "- [OPERATIONS] Operations", "- [OPERATION] GetQuote",
                                 "- [INPUT] Input", "- [ATTRIBUTE] currency", "- [DATA] USD",
                                 "- [DATA TYPE] string", "- [OUTPUT] Output", "Page 1 of 1"})
        QVERIFY2(text.contains(QLatin1String(expected)), qPrintable(expected + ("\n" + text)));
}

void TreePrintingTest::nodeAndChildrenPrintsOnlyTheSelectedSubtree() {
    fillTree(tree_, 3, QStringLiteral("ACME"));
    const TNVTreeNode* second = tree_.root()->child(1);
    QCOMPARE(print(second, true, dialogs_), PrintTreeOutcome::Printed);
    const QString text = pdfText();
    if (text.isEmpty())
        QFAIL("pdftotext is not installed; the PDF was not read back");
    QVERIFY2(text.contains(QStringLiteral("- [OPERATION] Op001")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("- [FIELD] symbol")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Op000")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Op002")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("[OPERATIONS]")), qPrintable(text));
}

void TreePrintingTest::longListingIsPagedNumberedAndInsideTheMargins() {
    const int operations = 150;
    fillTree(tree_, operations, QStringLiteral("ACME"));
    QCOMPARE(print(nullptr, false, dialogs_), PrintTreeOutcome::Printed);

    const std::optional<QString> info = poppler(QStringLiteral("pdfinfo"), {pdf_});
    if (!info)
        QFAIL("poppler's tools are not installed; the PDF was not read back");
    const int pages = infoField(*info, QStringLiteral("Pages")).toInt();
    QVERIFY2(pages > 1, qPrintable(*info));
    const QString text = pdfText();
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
    // Every operation once, in order: nothing lost or repeated at the page breaks.
    qsizetype at = 0;
    for (int n = 0; n < operations; ++n) {
        const QString name = QStringLiteral("- [OPERATION] Op%1").arg(n, 3, 10, QLatin1Char('0'));
        const qsizetype found = text.indexOf(name, at);
        QVERIFY2(found >= at, qPrintable(name));
        QCOMPARE(text.count(name), 1);
        at = found;
    }

    const std::optional<QString> boxes = poppler(QStringLiteral("pdftotext"), {"-bbox", pdf_, "-"});
    QVERIFY(boxes);
    QList<Box> words;
    double width = 0;
    double height = 0;
    QVERIFY(wordBoxes(*boxes, words, width, height));
    const double margin = 15 * kPointsPerMm - 0.5;
    QMap<int, double> footerTop;
    for (const Box& word : words) {
        QVERIFY2(word.xMin >= margin && word.yMin >= margin, qPrintable(*boxes));
        QVERIFY2(word.xMax <= width - margin && word.yMax <= height - margin, qPrintable(*boxes));
        if (word.text == QLatin1String("Page"))
            footerTop[word.page] = word.yMin;
    }
    // The listing stays clear of the page number.
    QCOMPARE(footerTop.size(), pages);
    for (const Box& word : words)
        if (word.yMin < footerTop[word.page] - 0.5)
            QVERIFY2(word.yMax <= footerTop[word.page], qPrintable(word.text));
}

void TreePrintingTest::longCaptionWrapsInsteadOfLeavingThePage() {
    QString caption;
    for (int n = 0; n < 40; ++n)
        caption += QStringLiteral("chunk%1_").arg(n, 2, 10, QLatin1Char('0'));
    fillTree(tree_, 1, caption);
    QCOMPARE(print(nullptr, false, dialogs_), PrintTreeOutcome::Printed);

    const std::optional<QString> boxes = poppler(QStringLiteral("pdftotext"), {"-bbox", pdf_, "-"});
    if (!boxes)
        QFAIL("poppler's tools are not installed; the PDF was not read back");
    QList<Box> words;
    double width = 0;
    double height = 0;
    QVERIFY(wordBoxes(*boxes, words, width, height));
    const double margin = 15 * kPointsPerMm - 0.5;
    for (const Box& word : words)
        QVERIFY2(word.xMax <= width - margin, qPrintable(*boxes));
    // All of it printed, over several lines.
    QString text = pdfText();
    QVERIFY2(text.count(QLatin1Char('\n')) > 12, qPrintable(text));
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    QVERIFY2(text.contains(QStringLiteral("-[DATA]") + caption), qPrintable(text));
}

void TreePrintingTest::pageRangeFromTheDialogIsHonoured() {
    fillTree(tree_, 150, QStringLiteral("ACME"));
    PrinterSetup secondPageOnly;
    secondPageOnly.setup = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf_);
        printer.setPrintRange(QPrinter::PageRange);
        QPageRanges ranges;
        ranges.addPage(2);
        printer.setPageRanges(ranges);
        return true;
    };
    QCOMPARE(print(nullptr, false, secondPageOnly), PrintTreeOutcome::Printed);
    const std::optional<QString> info = poppler(QStringLiteral("pdfinfo"), {pdf_});
    if (!info)
        QFAIL("poppler's tools are not installed; the PDF was not read back");
    QCOMPARE(infoField(*info, QStringLiteral("Pages")), QStringLiteral("1"));
    const QString text = pdfText();
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Page 2 of \\d+"))), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Op000")), qPrintable(text));
}

void TreePrintingTest::cancelledAndFailedPrints() {
    fillTree(tree_, 1, QStringLiteral("ACME"));
    QtPrintDialogs::scriptCancel();
    QCOMPARE(print(nullptr, false, dialogs_), PrintTreeOutcome::Cancelled);
    QCOMPARE(status_.last, QStringLiteral("Print Cancelled"));
    QVERIFY(!QFile::exists(pdf_));

    // A printer that cannot start: its output file cannot be made.
    QtPrintDialogs::scriptPdfOutput(dir_.filePath(QStringLiteral("missing-folder/tree.pdf")));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QCOMPARE(print(nullptr, false, dialogs_), PrintTreeOutcome::Failed);
    QCOMPARE(status_.last, QStringLiteral("Print Failed"));
    QCOMPARE(
        messages_.shown,
        QStringList{"Could not print tree. Please be sure printer is connected and available."});
}

QTEST_MAIN(TreePrintingTest)
#include "tree_printing_test.moc"
