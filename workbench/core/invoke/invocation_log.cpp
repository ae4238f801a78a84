#include "workbench/core/invoke/invocation_log.h"

#include <QDateTime>
#include <QLocale>

namespace sondar {

bool InvocationLog::open(const QString& path) {
    file_.close();
    file_.setFileName(path);
    ok_ = file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    return ok_;
}

void InvocationLog::writeLine(const QString& line) {
    if (!ok_)
        return;
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    ok_ = file_.write(bytes) == bytes.size();
}

QString logTimestamp(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral("  ") +
           locale.toString(when.time(), QLocale::LongFormat);
}

QString elapsedText(qint64 milliseconds) {
    const qint64 hundredths = (milliseconds + (milliseconds >= 0 ? 5 : -5)) / 10;
    QString text = QString::number(hundredths / 100);
    const qint64 fraction = qAbs(hundredths % 100);
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return text + QStringLiteral(" Seconds");
}

}  // namespace sondar
