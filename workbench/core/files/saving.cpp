#include "workbench/core/files/saving.h"

#include <QFileInfo>
#include <QSaveFile>

#include "workbench/core/seams/file_dialog_seam.h"

namespace sondar {

QString chooseSavePath(FileDialogSeam* files, const QString& caption, const QString& directory,
                       const QString& filter, const QString& suffix) {
    QString path = files ? files->getSaveFileName(caption, directory, filter) : QString();
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

bool writeWholeFile(const QString& path, const QByteArray& content, QString& error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    error = file.errorString();
    return false;
}

}  // namespace sondar
