#include "e2e_common.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace gradecast::bench {

double epochMs()
{
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(since).count();
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString formatMs(double ms)
{
    if (std::isnan(ms))
        return QStringLiteral("–");
    if (ms >= 1000)
        return QString::number(std::lround(ms));
    return QString::number(ms, 'f', ms >= 100 ? 0 : 1);
}

} // namespace gradecast::bench
