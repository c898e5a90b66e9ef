#pragma once

#include <QString>

// The record counter a list window writes into status panel 4:
// prefix + count + " 条记录 当前为第 " + current + " 条". current is kept
// within 1..count (a selection on a totals or blank row counts as the nearest
// record); with no record the counter reads prefix + "0 条记录".
QString RecordStatusText(const QString &prefix, int count, int current);
