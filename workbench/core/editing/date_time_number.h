// Date-times as the tree stores picked values: days since 1899-12-30 as a double, the time of
// day as the fraction (the Automation DATE convention).
#pragma once

#include <QDateTime>

namespace sondar {

double toDateTimeNumber(const QDateTime& when);
QDateTime fromDateTimeNumber(double days);

}  // namespace sondar
