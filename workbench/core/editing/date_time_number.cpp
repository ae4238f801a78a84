#include "workbench/core/editing/date_time_number.h"

#include <cmath>

namespace sondar {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

double toDateTimeNumber(const QDateTime& when) {
    const double days = static_cast<double>(kEpoch.daysTo(when.date()));
    const double fraction = when.time().msecsSinceStartOfDay() / kMillisecondsPerDay;
    // Before the epoch the fraction counts away from zero, as the convention has it.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime fromDateTimeNumber(double days) {
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    const int msecs = static_cast<int>(std::llround(fraction * kMillisecondsPerDay));
    return QDateTime(date, QTime(0, 0)).addMSecs(msecs);
}

}  // namespace sondar
