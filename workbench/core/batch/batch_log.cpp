#include "workbench/core/batch/batch_log.h"

#include <QStringList>

namespace sondar {

QString batchSeparatorLine() {
    return QString(32, QLatin1Char('-'));
}

bool BatchLog::open(const QString& path) {
    file_.close();
    file_.setFileName(path);
    return file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

bool BatchLog::writeLine(const QString& line) {
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    // Each line reaches the file at once: a run that dies later still leaves its report.
    return file_.write(bytes) == bytes.size() && file_.flush();
}

void BatchLog::close() {
    file_.close();
}

void BatchLog::appendQuietly(const QString& path, const QStringList& lines) {
    BatchLog log;
    if (!log.open(path))
        return;
    for (const QString& line : lines)
        if (!log.writeLine(line))
            break;
    log.close();
}

}  // namespace sondar
