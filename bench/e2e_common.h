#pragma once

#include <QList>
#include <QString>

namespace gradecast::bench {

// Wall-clock time in epoch milliseconds, to the microsecond: the clock the
// pages read through performance.timeOrigin + performance.now().
double epochMs();

double median(QList<double> values);

// Milliseconds for a table: "12.3", "456", "1234".
QString formatMs(double ms);

} // namespace gradecast::bench
