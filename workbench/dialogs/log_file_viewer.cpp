#include "workbench/dialogs/log_file_viewer.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "workbench/core/files/text_decoding.h"
#include "workbench/core/session/options.h"

namespace sondar {

namespace {

const QString kLogFileName = QStringLiteral("logfile.txt");

}  // namespace

QString decodeLogText(const QByteArray& bytes) {
    return decodeUserText(bytes);
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
