#include "workbench/core/session/process_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>

namespace sondar {

ProcessLock::ProcessLock(const QString& name) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    path_ = QDir(folder).filePath(name + QStringLiteral(".lock"));
    fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Shared and non-blocking: any number of instances may hold it, none waits.
    if (fd_ >= 0 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

ProcessLock::~ProcessLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace sondar
