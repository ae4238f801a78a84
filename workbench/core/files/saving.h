// What every "Save ..." command does with its file: ask where, add the default extension,
// write the whole content at once (a failed write leaves the old file as it was).
#pragma once

#include <QByteArray>
#include <QString>

namespace sondar {

class FileDialogSeam;

// The chosen path with `.suffix` added when it has none; empty when cancelled (or there is
// no dialog, as in a batch run).
QString chooseSavePath(FileDialogSeam* files, const QString& caption, const QString& directory,
                       const QString& filter, const QString& suffix);

// Replaces `path` by `content`; false with the system's text in `error` when it cannot.
bool writeWholeFile(const QString& path, const QByteArray& content, QString& error);

}  // namespace sondar
