#include "RecordStatus.h"

#include <QtGlobal>

QString RecordStatusText(const QString &prefix, int count, int current)
{
    if (count <= 0)
        return prefix + QStringLiteral("0 条记录");
    return prefix + QString::number(count) + QStringLiteral(" 条记录 当前为第 ") +
           QString::number(qBound(1, current, count)) + QStringLiteral(" 条");
}
