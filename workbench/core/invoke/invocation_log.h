// "logfile.txt": one entry per invocation, appended. A log that cannot be written never stops
// an invocation: after the first failure the entry is simply not continued.
#pragma once

#include <QFile>
#include <QString>

namespace sondar {

class InvocationLog {
  public:
    // Opens `path` for appending (creating it); false when it cannot be.
    bool open(const QString& path);
    void writeLine(const QString& line);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen() && ok_; }

  private:
    QFile file_;
    bool ok_ = false;
};

// Date and time as the log writes them: short date, two blanks, long time.
QString logTimestamp(const QDateTime& when);
// Seconds rounded to hundredths in their shortest form, then " Seconds": "1.5 Seconds".
QString elapsedText(qint64 milliseconds);

}  // namespace sondar
