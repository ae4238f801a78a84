#include "workbench/core/files/recent_workspaces.h"

namespace sondar {

namespace {

constexpr int kWholePathLength = 60;
constexpr int kTailLength = 58;
constexpr int kCaptionLength = 64;

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

}  // namespace

QString shortenedWorkspacePath(const QString& path) {
    if (path.size() <= kWholePathLength)
        return path;
    const bool drive = path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter();
    const QString root = drive ? path.left(2) : path.left(isSeparator(path[0]) ? 1 : 2);
    QString tail = path.right(kTailLength);
    for (qsizetype i = 0; i < tail.size(); ++i) {
        if (isSeparator(tail[i])) {
            tail = tail.mid(i + 1);
            break;
        }
    }
    return root + QStringLiteral("...") + tail;
}

QString recentWorkspaceCaption(int number, const QString& path) {
    return (QString::number(number) + QLatin1Char(' ') + shortenedWorkspacePath(path))
        .left(kCaptionLength);
}

}  // namespace sondar
