// The program's named lock "NorvaleSondar": a lock file in the runtime folder, held (shared)
// for the life of the process so installers and other tools can tell that Sondar runs. The
// program itself never waits on it.
#pragma once

#include <QString>

namespace sondar {

class ProcessLock {
  public:
    explicit ProcessLock(const QString& name);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    bool held() const { return fd_ >= 0; }
    const QString& path() const { return path_; }

  private:
    QString path_;
    int fd_ = -1;
};

}  // namespace sondar
