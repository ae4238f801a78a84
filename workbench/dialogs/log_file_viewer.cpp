#include "workbench/dialogs/log_file_viewer.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStringDecoder>

#include "workbench/core/session/options.h"

namespace sondar {

namespace {

const QString kLogFileName = QStringLiteral("logfile.txt");

// Windows-1252 in 0x80..0x9F, where it differs from Latin-1; the five unassigned codes keep
// their Latin-1 meaning, as the Windows conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

}  // namespace

QString decodeLogText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeCp1252(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text;
}

TLogFileViewer::TLogFileViewer(MessageSeam& messages, FileDialogSeam& files,
                               PrintDialogSeam& printers, QWidget* parent)
    : TTextViewerWindow(messages, files, printers, parent), view_(new QPlainTextEdit(this)) {
    setWindowTitle(tr("Log File Viewer"));
    view_->setObjectName(QStringLiteral("LogView"));
    view_->setReadOnly(true);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(view_);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    const auto addAction = [this](QMenu* menu, const QString& text, const char* name) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(addAction(file, tr("&Clear"), "LogClear"), &QAction::triggered, this,
            &TLogFileViewer::clearLog);
    connect(addAction(file, tr("&Print..."), "LogPrint"), &QAction::triggered, this,
            &TLogFileViewer::print);
    connect(addAction(file, tr("Save..."), "LogSave"), &QAction::triggered, this,
            &TLogFileViewer::save);
    file->addSeparator();
    connect(addAction(file, tr("E&xit"), "LogExit"), &QAction::triggered, this, &QWidget::close);
    QMenu* format = menuBar()->addMenu(tr("Format"));
    connect(addAction(format, tr("Font..."), "LogFont"), &QAction::triggered, this,
            &TLogFileViewer::chooseFont);

    applyStoredFont(registry_keys::kLogFileFont);
    resize(720, 480);
}

QString TLogFileViewer::logFilePath() const {
    return workingDirectory() + kLogFileName;
}

TLogFileViewer::LoadResult TLogFileViewer::loadLogFile() {
    view_->clear();
    QFile file(logFilePath());
    if (!file.exists())
        return LoadResult::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Failed;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LoadResult::Failed;
    QString text = decodeLogText(bytes);
    // Lines may end in CR LF, LF or CR; the break after the last line opens no new one.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    view_->setPlainText(text);
    return LoadResult::Loaded;
}

void TLogFileViewer::print() {
    if (viewLines(view_).isEmpty()) {
        setStatus(tr("Nothing To Print"));
        messages_.showMessage(tr("No log file entries to print."));
        return;
    }
    printView(view_, tr("Norvale Sondar Log File"), false,
              PrintTexts{tr("Log File Print Cancelled"), tr("Log File Print Successful"),
                         tr("Log File Print Failed")});
}

void TLogFileViewer::save() {
    saveView(view_, SaveTexts{tr("Save Log File"), tr("Norvale Log Files (*.nlf);;All files (*)"),
                              QStringLiteral("nlf"), tr("Save Log File Cancelled"),
                              tr("Saving Log File..."), tr("Save Log File Successful"),
                              tr("Error Saving Log File"), tr("The log file could not be saved.")});
}

void TLogFileViewer::clearLog() {
    if (!QFile::remove(logFilePath())) {
        setStatus(tr("Log File Clear Failed"));
        return;
    }
    view_->clear();
    setStatus(tr("Log File Clear Successful"));
}

}  // namespace sondar
