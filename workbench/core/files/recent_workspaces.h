// How the File menu lists a recently used workspace.
#pragma once

#include <QString>

namespace sondar {

// The path as listed: whole up to 60 characters; longer paths keep their root ("C:" or "/"),
// then "...", then the end of the path from the first folder boundary within its last 58
// characters.
QString shortenedWorkspacePath(const QString& path);

// The numbered caption "<number> <shortened path>", at most 64 characters.
QString recentWorkspaceCaption(int number, const QString& path);

}  // namespace sondar
