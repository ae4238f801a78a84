// Current date and time, behind a seam so tests can fix them.
#pragma once

#include <QDateTime>

namespace sondar {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The system clock in local time.
class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace sondar
