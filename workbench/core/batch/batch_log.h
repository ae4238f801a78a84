// The batch log: a text file a batch run appends its report to, line by line.
#pragma once

#include <QFile>
#include <QString>

namespace sondar {

class BatchLog {
  public:
    // Opens `path` for appending, creating it when it does not exist.
    bool open(const QString& path);
    // Writes one line; false (with errorString()) when the file could not take it.
    bool writeLine(const QString& line);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }

    // Appends `lines` to `path` and closes it; errors are swallowed.
    static void appendQuietly(const QString& path, const QStringList& lines);

  private:
    QFile file_;
};

// "--------------------------------": the line that starts every report.
QString batchSeparatorLine();

}  // namespace sondar
