#include "workbench/dialogs/text_viewer_window.h"

#include <exception>
#include <stdexcept>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "workbench/dialogs/font_mapping.h"
#include "workbench/dialogs/line_printing.h"

namespace sondar {

namespace {

// The wait cursor for the length of a scope, however it is left.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Writes the lines, each followed by CR LF; on failure `error` says why.
bool writeLines(const QString& path, const QStringList& lines, QString& error) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        error = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

QString plainText(QString text) {
    // A selection separates its paragraphs with the Unicode paragraph separator.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

QStringList viewLines(const QPlainTextEdit* view) {
    QStringList lines;
    const QTextDocument* document = view->document();
    if (document->isEmpty())
        return lines;
    // Block by block: the document's plain text would turn non-breaking spaces into spaces.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

TTextViewerWindow::TTextViewerWindow(MessageSeam& messages, FileDialogSeam& files,
                                     PrintDialogSeam& printers, QWidget* parent)
    : QMainWindow(parent),
      messages_(messages),
      files_(files),
      printers_(printers),
      status_(new QLabel(this)),
      font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)),
      color_(palette().color(QPalette::Text)) {
    status_->setObjectName(QStringLiteral("StatusPanel"));
    status_->setMinimumWidth(1);  // long texts must not widen the window
    statusBar()->addWidget(status_, 1);
}

FontSetting TTextViewerWindow::currentFontSetting() const {
    return fontSettingFromFont(font_, color_);
}

QString TTextViewerWindow::statusText() const {
    return status_->text();
}

void TTextViewerWindow::setStatus(const QString& text) {
    status_->setText(text);
    // Statuses such as "Printing..." are set just before work that keeps the event loop
    // waiting; paint them now.
    if (status_->isVisible())
        status_->repaint();
}

void TTextViewerWindow::applyStoredFont(const char16_t* keyPath) {
    if (const std::optional<FontSetting> stored = readFontSetting(keyPath)) {
        font_ = fontFromFontSetting(*stored);
        color_ = colorFromFontSetting(*stored);
    }
    applyFont();
}

void TTextViewerWindow::applyFont() {
    for (QPlainTextEdit* view : fontViews()) {
        view->setFont(font_);
        QPalette colors = view->palette();
        colors.setColor(QPalette::Text, color_);
        view->setPalette(colors);
    }
}

void TTextViewerWindow::chooseFont() {
    if (const std::optional<QFont> chosen = sondar::chooseFont(font_, this)) {
        font_ = *chosen;
        applyFont();
    }
}

void TTextViewerWindow::printView(QPlainTextEdit* view, const QString& title, bool offerSelection,
                                  const PrintTexts& texts) {
    WaitCursor wait;
    setStatus(tr("Printing..."));
    try {
        QPrinter printer;
        const bool hasSelection = offerSelection && view->textCursor().hasSelection();
        if (!printers_.choosePrinter(printer, this, hasSelection)) {
            setStatus(texts.cancelled);
            return;
        }
        const QStringList lines =
            hasSelection && printer.printRange() == QPrinter::Selection
                ? plainText(view->textCursor().selectedText()).split(QLatin1Char('\n'))
                : viewLines(view);
        if (!printLines(lines, font_, printer, title))
            throw std::runtime_error("the printer did not accept the document");
        setStatus(texts.succeeded);
    } catch (const std::exception&) {
        setStatus(texts.failed);
        messages_.showMessage(tr("Error: Print Failed."));
    }
}

void TTextViewerWindow::saveView(const QPlainTextEdit* view, const SaveTexts& texts) {
    QString path = files_.getSaveFileName(texts.caption, workingDirectory_, texts.filter);
    if (path.isEmpty()) {
        setStatus(texts.cancelled);
        return;
    }
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += QLatin1Char('.') + texts.extension;
    setStatus(texts.saving);
    QString message;
    try {
        QString error;
        if (writeLines(path, viewLines(view), error)) {
            setStatus(texts.succeeded);
            return;
        }
        message = tr("File error: ") + error + QStringLiteral("\r\n") + texts.notSaved;
    } catch (const std::exception&) {
        message = tr("File error: ") + texts.notSaved;
    }
    setStatus(texts.failed);
    messages_.showMessage(message);
}

}  // namespace sondar
