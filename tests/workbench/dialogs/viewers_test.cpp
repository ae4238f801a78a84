// The log file viewer, the SOAP message viewer and what they are built from (fonts, XML
// layout and colours, the print seam), under the offscreen platform with a private registry.
#include <functional>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/registry/registry.h"
#include "tests/support/registry_sandbox.h"
#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/session/options.h"
#include "workbench/dialogs/font_mapping.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/print_dialog_seam.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/dialogs/xml_highlighter.h"
#include "workbench/dialogs/xml_indent.h"

using sondar::FontSetting;
using sondar::TLogFileViewer;
using sondar::TSoapMsgViewer;
using sondar::viewLines;

namespace {

class RecordingMessages final : public sondar::MessageSeam {
  public:
    void showMessage(const QString& text) override { shown << text; }
    sondar::MessageAnswer ask(const QString&, sondar::MessageButtons) override {
        qFatal("the viewers ask no questions");
    }
    QStringList shown;
};

class ScriptedFiles final : public sondar::FileDialogSeam {
  public:
    QString getOpenFileName(const QString&, const QString&, const QString&) override {
        qFatal("the viewers open no files through the dialog");
    }
    QString getSaveFileName(const QString&, const QString& directory,
                            const QString& filter) override {
        lastDirectory = directory;
        lastFilter = filter;
        return answer;
    }
    QString answer;
    QString lastDirectory;
    QString lastFilter;
};

// Answers with a function of the printer, so a test can aim it at a file or refuse.
class ScriptedPrinters final : public sondar::PrintDialogSeam {
  public:
    bool choosePrinter(QPrinter& printer, QWidget*, bool selectionRange) override {
        ++asked;
        offeredSelection = selectionRange;
        cursorWhileAsked = QApplication::overrideCursor() != nullptr;
        return answer ? answer(printer) : false;
    }
    std::function<bool(QPrinter&)> answer;
    int asked = 0;
    bool offeredSelection = false;
    bool cursorWhileAsked = false;
};

QAction* action(QWidget& window, const char* name) {
    auto* found = window.findChild<QAction*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no action named %s", name);
    return found;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Runs a poppler tool on a PDF; nothing when the tool is not installed.
std::optional<QString> popplerOutput(const QString& tool, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's title as its info dictionary holds it (UTF-16BE after a byte order mark).
bool pdfHasTitle(const QByteArray& pdf, const QString& title) {
    QByteArray encoded = QByteArray("/Title (") + "\xFE\xFF";
    for (const QChar c : title) {
        encoded += char(c.unicode() >> 8);
        encoded += char(c.unicode() & 0xFF);
    }
    return pdf.contains(encoded + ')');
}

// Stores a viewer font the way the options are written; `skip` leaves one value out.
void storeFont(const char16_t* keyPath, const FontSetting& font, const QString& skip = {}) {
    nv::registry::Key key;
    QCOMPARE(nv::registry::Key::create(nv::registry::Hive::CurrentUser, keyPath, key),
             nv::registry::Status::Ok);
    const auto dword = [&](const char* name, int value) {
        if (skip != QLatin1String(name))
            key.setDword(QString::fromLatin1(name).toStdU16String(), std::uint32_t(value));
    };
    const auto byte = [&](const char* name, int value) {
        const auto raw = static_cast<std::uint8_t>(value);
        if (skip != QLatin1String(name))
            key.setBinary(QString::fromLatin1(name).toStdU16String(), &raw, 1);
    };
    dword("CharSet", font.charSet);
    dword("Color", font.color);
    dword("Height", font.height);
    if (skip != QLatin1String("Name"))
        key.setString(u"Name", font.name.toStdU16String());
    byte("Pitch", font.pitch);
    dword("Size", font.size);
    byte("Style", font.style);
}

FontSetting serifBoldItalic() {
    FontSetting font;
    font.color = 0x00563412;  // RGB 12 34 56
    font.height = -19;
    font.name = QStringLiteral("DejaVu Serif");
    font.pitch = 1;
    font.size = 14;
    font.style = 1 | 2;
    return font;
}

const QString kOneLineRequest = QStringLiteral(
    "  <?xml version=\"1.0\"?><soap:Envelope xmlns:soap=\"urn:env\"><soap:Body>"
    "<m:Get xmlns:m=\"urn:x\" rule='1 &gt; 0' note=\"a>b\"><!-- why -->"
    "<m:Name>  A &amp; B </m:Name><m:Empty/><m:Blank>  </m:Blank>"
    "<m:Mixed>x<b>y</b> z</m:Mixed></m:Get></soap:Body></soap:Envelope>\n\n");

const QStringList kIndentedRequest = {
    QStringLiteral("<?xml version=\"1.0\"?>"),
    QStringLiteral("<soap:Envelope xmlns:soap=\"urn:env\">"),
    QStringLiteral("  <soap:Body>"),
    QStringLiteral("    <m:Get xmlns:m=\"urn:x\" rule='1 &gt; 0' note=\"a>b\">"),
    QStringLiteral("      <!-- why -->"),
    QStringLiteral("      <m:Name>  A &amp; B </m:Name>"),
    QStringLiteral("      <m:Empty/>"),
    QStringLiteral("      <m:Blank>  </m:Blank>"),
    QStringLiteral("      <m:Mixed>x<b>y</b> z</m:Mixed>"),
    QStringLiteral("    </m:Get>"),
    QStringLiteral("  </soap:Body>"),
    QStringLiteral("</soap:Envelope>"),
};

}  // namespace

class ViewersTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    // Fonts
    void fontMappingRoundTrip_data();
    void fontMappingRoundTrip();
    void fontMappingStoredForm();
    void storedFontAppliedOnlyWhenComplete_data();
    void storedFontAppliedOnlyWhenComplete();
    void fontDialogChoiceApplied();

    // XML layout and colours
    void indentXml_data();
    void indentXml();
    void highlighterColoursMarkup();

    // Log file viewer
    void logViewerWindow();
    void logLoad();
    void logDecodesLegacyBytes();
    void logSave();
    void logSaveCancelledAndFailed();
    void logClear();
    void logPrintNothing();
    void logPrintCancelledAndFailed();
    void logPrintToPdf();
    void logExitHidesForReuse();

    // SOAP message viewer
    void soapIndentToggle();
    void soapNotXmlShownUnchanged();
    void soapSaveActiveTab();
    void soapPrintActiveTab();
    void soapPrintSelection();

  private:
    std::optional<nv::test::RegistrySandbox> registry_;
    std::optional<QTemporaryDir> work_;
    QString dir_;  // the working directory, ending in "/"
    RecordingMessages messages_;
    ScriptedFiles files_;
    ScriptedPrinters printers_;
};

void ViewersTest::init() {
    registry_.emplace();
    work_.emplace();
    QVERIFY(work_->isValid());
    dir_ = work_->path() + QLatin1Char('/');
    messages_ = RecordingMessages();
    files_ = ScriptedFiles();
    printers_ = ScriptedPrinters();
    sondar::QtPrintDialogs::clearScript();
    sondar::scriptedFontChoice() = nullptr;
}

void ViewersTest::cleanup() {
    sondar::QtPrintDialogs::clearScript();
    sondar::scriptedFontChoice() = nullptr;
    QVERIFY2(!QApplication::overrideCursor(), "the wait cursor was left on");
    work_.reset();
    registry_.reset();
}

// --- Fonts ---------------------------------------------------------------------------------

void ViewersTest::fontMappingRoundTrip_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("style");  // the stored style bits
    QTest::addColumn<bool>("fixedPitch");
    QTest::addColumn<QColor>("color");
    QTest::newRow("plain") << "DejaVu Sans" << 10 << 0 << false << QColor(Qt::black);
    QTest::newRow("bold italic") << "DejaVu Serif" << 12 << 3 << false << QColor(0x12, 0x34, 0x56);
    QTest::newRow("underline strike-out fixed")
        << "DejaVu Sans Mono" << 9 << 12 << true << QColor(0xFF, 0x00, 0x80);
    QTest::newRow("every style") << "Nimbus Mono PS" << 20 << 15 << true << QColor(Qt::white);
}

void ViewersTest::fontMappingRoundTrip() {
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(int, style);
    QFETCH(bool, fixedPitch);
    QFETCH(QColor, color);

    QFont font(family, points);
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    font.setFixedPitch(fixedPitch);

    const FontSetting stored = sondar::fontSettingFromFont(font, color);
    QCOMPARE(stored.style, style);
    QCOMPARE(stored.pitch == 2, fixedPitch);

    const QFont back = sondar::fontFromFontSetting(stored);
    QCOMPARE(back.family(), family);
    QCOMPARE(back.pointSize(), points);
    QCOMPARE(back.bold(), font.bold());
    QCOMPARE(back.italic(), font.italic());
    QCOMPARE(back.underline(), font.underline());
    QCOMPARE(back.strikeOut(), font.strikeOut());
    QCOMPARE(back.fixedPitch(), fixedPitch);
    QCOMPARE(sondar::colorFromFontSetting(stored), color);
}

void ViewersTest::fontMappingStoredForm() {
    QFont font(QStringLiteral("DejaVu Serif"), 10);
    font.setItalic(true);
    font.setStrikeOut(true);
    const FontSetting stored = sondar::fontSettingFromFont(font, QColor(0x11, 0x22, 0x33));
    // Heights are negative pixels at 96 dpi: 10 pt is 13.33 px.
    QCOMPARE(stored.height, -13);
    QCOMPARE(stored.size, 10);
    QCOMPARE(stored.name, QStringLiteral("DejaVu Serif"));
    QCOMPARE(stored.color, 0x00332211);
    QCOMPARE(stored.style, 2 | 8);
    QCOMPARE(stored.charSet, 1);
    QCOMPARE(
        sondar::fontSettingFromFont(QFont(QStringLiteral("DejaVu Sans"), 72), Qt::black).height,
        -96);

    // A record holding only a height still gives the size it stands for.
    FontSetting heightOnly;
    heightOnly.size = 0;
    heightOnly.height = -16;
    QCOMPARE(sondar::fontFromFontSetting(heightOnly).pointSize(), 12);
}

void ViewersTest::storedFontAppliedOnlyWhenComplete_data() {
    QTest::addColumn<QString>("missing");  // the value left out, empty for none
    QTest::newRow("complete") << "";
    for (const char* name : {"CharSet", "Color", "Height", "Name", "Pitch", "Size", "Style"})
        QTest::newRow(name) << name;
}

void ViewersTest::storedFontAppliedOnlyWhenComplete() {
    QFETCH(QString, missing);
    const FontSetting stored = serifBoldItalic();
    const QFont builtIn = TLogFileViewer(messages_, files_, printers_).view()->font();
    QVERIFY(builtIn.family() != stored.name);

    storeFont(sondar::registry_keys::kLogFileFont, stored, missing);
    storeFont(sondar::registry_keys::kSoapViewerFont, stored, missing);
    TLogFileViewer log(messages_, files_, printers_);
    TSoapMsgViewer soap(messages_, files_, printers_);
    soap.showMessages(QStringLiteral("<a/>"), QStringLiteral("<b/>"));

    for (QPlainTextEdit* view : {log.view(), soap.inputView(), soap.outputView()}) {
        if (missing.isEmpty()) {
            QCOMPARE(view->font().family(), stored.name);
            QCOMPARE(view->font().pointSize(), stored.size);
            QVERIFY(view->font().bold());
            QVERIFY(view->font().italic());
            QCOMPARE(view->palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));
        } else {
            QCOMPARE(view->font(), builtIn);
            QVERIFY(view->palette().color(QPalette::Text) != QColor(0x12, 0x34, 0x56));
        }
    }
    if (missing.isEmpty()) {
        const FontSetting current = log.currentFontSetting();
        QCOMPARE(current.name, stored.name);
        QCOMPARE(current.size, stored.size);
        QCOMPARE(current.style, stored.style);
        QCOMPARE(current.color, stored.color);
        QCOMPARE(soap.currentFontSetting().color, stored.color);
    }
}

void ViewersTest::fontDialogChoiceApplied() {
    TSoapMsgViewer soap(messages_, files_, printers_);
    const QFont shownBefore = soap.inputView()->font();
    QFont offered;
    sondar::scriptedFontChoice() = [&](const QFont& initial) -> std::optional<QFont> {
        offered = initial;
        QFont chosen(QStringLiteral("DejaVu Sans"), 16);
        chosen.setUnderline(true);
        return chosen;
    };
    action(soap, "SoapFont")->trigger();
    // The dialog starts from the font the views show.
    QCOMPARE(offered, shownBefore);
    for (QPlainTextEdit* view : {soap.inputView(), soap.outputView()}) {
        QCOMPARE(view->font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(view->font().pointSize(), 16);
        QVERIFY(view->font().underline());
    }
    QCOMPARE(soap.currentFontSetting().name, QStringLiteral("DejaVu Sans"));
    QCOMPARE(soap.currentFontSetting().style, 4);
    // A new message keeps the chosen font.
    soap.showMessages(QStringLiteral("<a/>"), QString());
    QCOMPARE(soap.outputView()->font().pointSize(), 16);

    // Declining the dialog changes nothing.
    TLogFileViewer log(messages_, files_, printers_);
    const QFont before = log.view()->font();
    sondar::scriptedFontChoice() = [](const QFont&) -> std::optional<QFont> {
        return std::nullopt;
    };
    action(log, "LogFont")->trigger();
    QCOMPARE(log.view()->font(), before);
}

// --- XML layout and colours ----------------------------------------------------------------

void ViewersTest::indentXml_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nested, attributes and text as written")
        << kOneLineRequest.trimmed() << kIndentedRequest.join(QLatin1Char('\n'));
    QTest::newRow("old layout replaced") << "<a>\r\n\t\t<b>1</b>\n<c\n x='2'/></a>"
                                         << "<a>\n  <b>1</b>\n  <c\n x='2'/>\n</a>";
    QTest::newRow("CDATA and empty element") << "<a><b><![CDATA[<x>]]></b><c></c></a>"
                                             << "<a>\n  <b><![CDATA[<x>]]></b>\n  <c></c>\n</a>";
    QTest::newRow("doctype and trailing comment")
        << "<!DOCTYPE a [<!ENTITY e \"v\">]><a><b/></a><!-- end -->"
        << "<!DOCTYPE a [<!ENTITY e \"v\">]>\n<a>\n  <b/>\n</a>\n<!-- end -->";
    QTest::newRow("unclosed element") << "<a><b></a>"
                                      << "<a><b></a>";
    QTest::newRow("plain text") << "Internal Server Error"
                                << "Internal Server Error";
    QTest::newRow("empty") << ""
                           << "";
}

void ViewersTest::indentXml() {
    QFETCH(QString, xml);
    QFETCH(QString, expected);
    QCOMPARE(sondar::indentXml(xml), expected);
}

void ViewersTest::highlighterColoursMarkup() {
    QPlainTextEdit view;
    auto* highlighter = new sondar::TXmlHighlighter(view.document());
    view.setPlainText(QStringLiteral("<m:a x=\"1\" y='two\nlines'><!-- a\n<b> --><c>t</c></m:a>"));
    const auto colourAt = [&](int blockNumber, int position) -> QColor {
        const QTextBlock block = view.document()->findBlockByNumber(blockNumber);
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            if (position >= range.start && position < range.start + range.length)
                return range.format.foreground().color();
        return QColor();  // unformatted: the view's own colour
    };
    using Role = sondar::TXmlHighlighter::Role;
    const auto colourOf = [&](Role role) {
        return highlighter->formatOf(role).foreground().color();
    };
    const QList<QColor> distinct = {colourOf(Role::ElementName), colourOf(Role::AttributeName),
                                    colourOf(Role::AttributeValue), colourOf(Role::Comment)};
    for (int i = 0; i < distinct.size(); ++i)
        for (int j = i + 1; j < distinct.size(); ++j)
            QVERIFY(distinct[i] != distinct[j]);

    // Line 0: <m:a x="1" y='two
    QCOMPARE(colourAt(0, 1), colourOf(Role::ElementName));      // m:a
    QCOMPARE(colourAt(0, 5), colourOf(Role::AttributeName));    // x
    QCOMPARE(colourAt(0, 7), colourOf(Role::AttributeValue));   // "1"
    QCOMPARE(colourAt(0, 14), colourOf(Role::AttributeValue));  // two
    // Line 1: lines'><!-- a   -- the value and then a comment go on from the line before
    QCOMPARE(colourAt(1, 0), colourOf(Role::AttributeValue));
    QCOMPARE(colourAt(1, 6), colourOf(Role::ElementName));  // >
    QCOMPARE(colourAt(1, 9), colourOf(Role::Comment));
    // Line 2: <b> --><c>t</c></m:a>   -- no element inside the comment; text unformatted
    QCOMPARE(colourAt(2, 1), colourOf(Role::Comment));
    QCOMPARE(colourAt(2, 8), colourOf(Role::ElementName));   // c
    QCOMPARE(colourAt(2, 10), QColor());                     // t
    QCOMPARE(colourAt(2, 13), colourOf(Role::ElementName));  // c of </c>
}

// --- Log file viewer -----------------------------------------------------------------------

void ViewersTest::logViewerWindow() {
    TLogFileViewer viewer(messages_, files_, printers_);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Log File Viewer"));
    QVERIFY(viewer.view()->isReadOnly());
    QCOMPARE(viewer.view()->objectName(), QStringLiteral("LogView"));
    QStringList menus;
    for (QAction* menu : viewer.menuBar()->actions()) {
        menus << menu->text();
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator())
                menus << QStringLiteral("  ") + item->text();
    }
    QCOMPARE(menus, (QStringList{"&File", "  &Clear", "  &Print...", "  Save...", "  E&xit",
                                 "Format", "  Font..."}));
}

void ViewersTest::logLoad() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    QCOMPARE(viewer.logFilePath(), dir_ + QStringLiteral("logfile.txt"));

    QVERIFY(writeFile(dir_ + "logfile.txt", "first\r\n\r\nthird  \xC3\xA9\xC2\xA0x\nfourth\r\n"));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Loaded);
    QCOMPARE(viewLines(viewer.view()),
             (QStringList{"first", "", QString::fromUtf8("third  \xC3\xA9\xC2\xA0x"), "fourth"}));

    // Loading again after the file went away leaves the view empty.
    QVERIFY(QFile::remove(dir_ + "logfile.txt"));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Missing);
    QVERIFY(viewLines(viewer.view()).isEmpty());

    // Something that exists but cannot be read as a file.
    QVERIFY(QDir(dir_).mkdir(QStringLiteral("logfile.txt")));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Failed);
    QVERIFY(viewLines(viewer.view()).isEmpty());
}

void ViewersTest::logDecodesLegacyBytes() {
    QCOMPARE(sondar::decodeLogText("caf\xE9 \x80 \x93x\x94 \x9F"),
             QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC5\xB8"));
    QCOMPARE(sondar::decodeLogText("\xEF\xBB\xBF"
                                   "caf\xC3\xA9"),
             QString::fromUtf8("caf\xC3\xA9"));
}

void ViewersTest::logSave() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    QVERIFY(writeFile(dir_ + "logfile.txt", "first\n\n\xC3\xBC last"));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Loaded);

    // No extension given: the log extension is added.
    files_.answer = dir_ + QStringLiteral("copy");
    action(viewer, "LogSave")->trigger();
    QCOMPARE(files_.lastDirectory, dir_);
    QCOMPARE(files_.lastFilter, QStringLiteral("Norvale Log Files (*.nlf);;All files (*)"));
    QVERIFY(!QFile::exists(dir_ + "copy"));
    QCOMPARE(fileBytes(dir_ + "copy.nlf"), QByteArray("first\r\n\r\n\xC3\xBC last\r\n"));
    QCOMPARE(viewer.statusText(), QStringLiteral("Save Log File Successful"));

    // An extension of the user's is kept, and an existing file is overwritten.
    QVERIFY(writeFile(dir_ + "copy.txt", QByteArray(200, 'x')));
    files_.answer = dir_ + QStringLiteral("copy.txt");
    action(viewer, "LogSave")->trigger();
    QCOMPARE(fileBytes(dir_ + "copy.txt"), QByteArray("first\r\n\r\n\xC3\xBC last\r\n"));
    QVERIFY(messages_.shown.isEmpty());
}

void ViewersTest::logSaveCancelledAndFailed() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    viewer.view()->setPlainText(QStringLiteral("entry"));

    files_.answer.clear();
    action(viewer, "LogSave")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Save Log File Cancelled"));
    QCOMPARE(QDir(dir_).entryList(QDir::Files), QStringList());

    files_.answer = dir_ + QStringLiteral("missing-folder/copy.nlf");
    action(viewer, "LogSave")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Error Saving Log File"));
    QCOMPARE(messages_.shown.size(), 1);
    const QString& message = messages_.shown.front();
    QVERIFY2(message.startsWith(QStringLiteral("File error: ")), qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("\r\nThe log file could not be saved.")),
             qPrintable(message));
    // The reason sits between the two, and it is the file system's.
    QVERIFY2(
        message.size() > QStringLiteral("File error: \r\nThe log file could not be saved.").size(),
        qPrintable(message));
}

void ViewersTest::logClear() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    QVERIFY(writeFile(dir_ + "logfile.txt", "one\r\ntwo\r\n"));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Loaded);

    action(viewer, "LogClear")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Log File Clear Successful"));
    QVERIFY(!QFile::exists(dir_ + "logfile.txt"));
    QVERIFY(viewLines(viewer.view()).isEmpty());

    // Nothing to delete: the view keeps what it shows.
    viewer.view()->setPlainText(QStringLiteral("kept"));
    action(viewer, "LogClear")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Log File Clear Failed"));
    QCOMPARE(viewLines(viewer.view()), QStringList{"kept"});
    QVERIFY(messages_.shown.isEmpty());
}

void ViewersTest::logPrintNothing() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Missing);
    action(viewer, "LogPrint")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Nothing To Print"));
    QCOMPARE(messages_.shown, QStringList{"No log file entries to print."});
    QCOMPARE(printers_.asked, 0);
}

void ViewersTest::logPrintCancelledAndFailed() {
    TLogFileViewer viewer(messages_, files_, printers_);
    viewer.view()->setPlainText(QStringLiteral("entry"));

    printers_.answer = [](QPrinter&) { return false; };
    action(viewer, "LogPrint")->trigger();
    QCOMPARE(printers_.asked, 1);
    QVERIFY(!printers_.offeredSelection);
    QVERIFY(printers_.cursorWhileAsked);
    QCOMPARE(viewer.statusText(), QStringLiteral("Log File Print Cancelled"));
    QVERIFY(messages_.shown.isEmpty());

    // A printer that cannot start (its output file cannot be made).
    const QString unwritable = dir_ + QStringLiteral("missing-folder/out.pdf");
    printers_.answer = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(unwritable);
        return true;
    };
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    action(viewer, "LogPrint")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Log File Print Failed"));
    QCOMPARE(messages_.shown, QStringList{"Error: Print Failed."});

    // The Qt print dialogs, told to cancel, show nothing and say no.
    sondar::QtPrintDialogs dialogs;
    TLogFileViewer real(messages_, files_, dialogs);
    real.view()->setPlainText(QStringLiteral("entry"));
    sondar::QtPrintDialogs::scriptCancel();
    action(real, "LogPrint")->trigger();
    QCOMPARE(real.statusText(), QStringLiteral("Log File Print Cancelled"));
}

void ViewersTest::logPrintToPdf() {
    sondar::QtPrintDialogs dialogs;
    TLogFileViewer viewer(messages_, files_, dialogs);
    viewer.setWorkingDirectory(dir_);
    QVERIFY(writeFile(dir_ + "logfile.txt",
                      "2004-05-06 13:45:00 Invoke GetQuote\r\nResponse received 200 OK\r\n"));
    QCOMPARE(viewer.loadLogFile(), TLogFileViewer::LoadResult::Loaded);

    const QString pdf = dir_ + QStringLiteral("log.pdf");
    sondar::QtPrintDialogs::scriptPdfOutput(pdf);
    action(viewer, "LogPrint")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Log File Print Successful"));
    QVERIFY(messages_.shown.isEmpty());

    const QByteArray bytes = fileBytes(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(pdfHasTitle(bytes, QStringLiteral("Norvale Sondar Log File")));
    const std::optional<QString> text = popplerOutput(QStringLiteral("pdftotext"), {pdf, "-"});
    if (!text)
        QFAIL("pdftotext is not installed; the printed text was not checked");
    QVERIFY2(text->contains(QStringLiteral("Response received 200 OK")), qPrintable(*text));
    QVERIFY2(text->contains(QStringLiteral("Invoke GetQuote")), qPrintable(*text));
}

void ViewersTest::logExitHidesForReuse() {
    auto* viewer = new TLogFileViewer(messages_, files_, printers_);
    QPointer<TLogFileViewer> alive(viewer);
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    action(*viewer, "LogExit")->trigger();
    QVERIFY(!viewer->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(alive);
    viewer->show();
    QVERIFY(viewer->isVisible());
    delete viewer;
}

// --- SOAP message viewer -------------------------------------------------------------------

void ViewersTest::soapIndentToggle() {
    TSoapMsgViewer viewer(messages_, files_, printers_);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("SOAP Message Viewer"));
    QCOMPARE(viewer.tabs()->objectName(), QStringLiteral("SoapTabs"));
    QCOMPARE(viewer.tabs()->tabText(0), QStringLiteral("Input"));
    QCOMPARE(viewer.tabs()->tabText(1), QStringLiteral("Output"));
    QAction* indented = action(viewer, "SoapIndented");
    QVERIFY(indented->isCheckable());
    QVERIFY(indented->isChecked());

    const QString response = QStringLiteral("\r\n<r><v>1</v><w a=\"x\"/></r>\r\n");
    viewer.showMessages(kOneLineRequest, response);
    QCOMPARE(viewLines(viewer.inputView()), kIndentedRequest);
    QCOMPARE(viewLines(viewer.outputView()),
             (QStringList{"<r>", "  <v>1</v>", "  <w a=\"x\"/>", "</r>"}));

    indented->setChecked(false);
    QCOMPARE(viewLines(viewer.inputView()), QStringList{kOneLineRequest.trimmed()});
    QCOMPARE(viewLines(viewer.outputView()), QStringList{response.trimmed()});

    indented->setChecked(true);
    QCOMPARE(viewLines(viewer.inputView()), kIndentedRequest);

    // A new pair replaces both tabs.
    viewer.showMessages(QStringLiteral("<q/>"), QString());
    QCOMPARE(viewLines(viewer.inputView()), QStringList{"<q/>"});
    QVERIFY(viewLines(viewer.outputView()).isEmpty());
}

void ViewersTest::soapNotXmlShownUnchanged() {
    TSoapMsgViewer viewer(messages_, files_, printers_);
    const QString fault = QStringLiteral("HTTP/1.1 500 <b>Server Error</b> <i>unclosed");
    viewer.showMessages(QStringLiteral("<a><b></a>"), fault);
    QCOMPARE(viewLines(viewer.inputView()), QStringList{"<a><b></a>"});
    QCOMPARE(viewLines(viewer.outputView()), QStringList{fault});
}

void ViewersTest::soapSaveActiveTab() {
    TSoapMsgViewer viewer(messages_, files_, printers_);
    viewer.setWorkingDirectory(dir_);
    viewer.showMessages(QStringLiteral("<in/>"),
                        QString::fromUtf8("<out><v>\xE2\x82\xAC 5</v></out>"));

    viewer.tabs()->setCurrentWidget(viewer.outputView());
    files_.answer = dir_ + QStringLiteral("response");
    action(viewer, "SoapSave")->trigger();
    QCOMPARE(files_.lastDirectory, dir_);
    QCOMPARE(files_.lastFilter,
             QStringLiteral("Norvale SOAP Message Files (*.nsm);;All files (*)"));
    QCOMPARE(fileBytes(dir_ + "response.nsm"),
             QByteArray("<out>\r\n  <v>\xE2\x82\xAC 5</v>\r\n</out>\r\n"));
    QCOMPARE(viewer.statusText(), QStringLiteral("Save SOAP Message Successful."));

    // As shown: unindented, the Input tab.
    action(viewer, "SoapIndented")->setChecked(false);
    viewer.tabs()->setCurrentWidget(viewer.inputView());
    files_.answer = dir_ + QStringLiteral("request.xml");
    action(viewer, "SoapSave")->trigger();
    QCOMPARE(fileBytes(dir_ + "request.xml"), QByteArray("<in/>\r\n"));

    files_.answer.clear();
    action(viewer, "SoapSave")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Save SOAP Message Cancelled"));
    QVERIFY(messages_.shown.isEmpty());

    files_.answer = dir_ + QStringLiteral("missing-folder/response.nsm");
    action(viewer, "SoapSave")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("Error saving SOAP Message"));
    QCOMPARE(messages_.shown.size(), 1);
    QVERIFY(messages_.shown.front().startsWith(QStringLiteral("File error: ")));
    QVERIFY(messages_.shown.front().endsWith(
        QStringLiteral("\r\nThe SOAP message could not be saved.")));
}

void ViewersTest::soapPrintActiveTab() {
    TSoapMsgViewer viewer(messages_, files_, printers_);
    viewer.showMessages(QStringLiteral("<request>InputMarker</request>"),
                        QStringLiteral("<response>OutputMarker</response>"));
    const QString pdf = dir_ + QStringLiteral("soap.pdf");
    printers_.answer = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };

    viewer.tabs()->setCurrentWidget(viewer.outputView());
    action(viewer, "SoapPrint")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("SOAP Message Print Successful"));
    QVERIFY(!printers_.offeredSelection);
    QVERIFY(pdfHasTitle(fileBytes(pdf), QStringLiteral("Output SOAP Message")));

    viewer.tabs()->setCurrentWidget(viewer.inputView());
    action(viewer, "SoapPrint")->trigger();
    QVERIFY(pdfHasTitle(fileBytes(pdf), QStringLiteral("Input SOAP Message")));
    if (const std::optional<QString> text =
            popplerOutput(QStringLiteral("pdftotext"), {pdf, "-"})) {
        QVERIFY2(text->contains(QStringLiteral("InputMarker")), qPrintable(*text));
        QVERIFY2(!text->contains(QStringLiteral("OutputMarker")), qPrintable(*text));
    }

    printers_.answer = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir_ + QStringLiteral("missing-folder/soap.pdf"));
        return true;
    };
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    action(viewer, "SoapPrint")->trigger();
    QCOMPARE(viewer.statusText(), QStringLiteral("SOAP Message Print Failed"));
    QCOMPARE(messages_.shown, QStringList{"Error: Print Failed."});
}

void ViewersTest::soapPrintSelection() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext is not installed");
    TSoapMsgViewer viewer(messages_, files_, printers_);
    viewer.showMessages(QStringLiteral("<a><first>One</first><second>Two</second></a>"), QString());
    // Select the second line, "  <first>One</first>".
    QTextCursor cursor(viewer.inputView()->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    viewer.inputView()->setTextCursor(cursor);

    const QString pdf = dir_ + QStringLiteral("selection.pdf");
    printers_.answer = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::Selection);
        return true;
    };
    action(viewer, "SoapPrint")->trigger();
    QVERIFY(printers_.offeredSelection);
    const std::optional<QString> text = popplerOutput(QStringLiteral("pdftotext"), {pdf, "-"});
    QVERIFY(text);
    QVERIFY2(text->contains(QStringLiteral("<first>One</first>")), qPrintable(*text));
    QVERIFY2(!text->contains(QStringLiteral("Two")), qPrintable(*text));
}

QTEST_MAIN(ViewersTest)
#include "viewers_test.moc"
