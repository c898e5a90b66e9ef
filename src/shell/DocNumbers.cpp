// Document numbers: prefix + yymmdd + a serial that runs per prefix and month,
// with the register DanNo keeping every number handed out.
#include "Module1.h"

#include "platform/NumberText.h"

namespace {
QString fourDigits(int serial)
{
    return QStringLiteral("%1").arg(serial, 4, 10, QLatin1Char('0'));
}
} // namespace

QString Module1::NextDocNo(const QString &prefix, const QString &table)
{
    const QDate today = Today();
    const QString base = prefix + today.toString(QStringLiteral("yyMM"));
    const QString last = GetSingleValue(
        QStringLiteral("select F1 from %1 where F1 like ? order by F1 desc limit 1").arg(table),
        {base + QStringLiteral("______")});
    int serial = last.size() >= 8 ? int(numtext::leadingNumber(last.right(4))) + 1 : 1;

    // The table check ignores the day: a serial used on any day of the month is taken.
    db::Statement used = gDb.prepare(QStringLiteral("select F1 from %1 where F1 like ? limit 1").arg(table));
    if (!used.isValid())
        return EnterDocNoText;
    for (; serial <= 9999; ++serial) {
        used.reset();
        used.bind(1, base + QStringLiteral("__") + fourDigits(serial));
        if (used.next())
            continue;
        if (used.hasError())
            return EnterDocNoText;
        QString candidate = base + today.toString(QStringLiteral("dd")) + fourDigits(serial);
        if (IsDocNoFree(candidate))
            return candidate;
    }
    return EnterDocNoText;
}

bool Module1::IsDocNoFree(QString &docNo)
{
    docNo = docNo.trimmed();
    // A broken register never blocks numbering: any failure reads as free.
    const QString held = GetSingleValue(QStringLiteral("select DanF1 from DanNo where DanF1=?"), {docNo});
    return held == NoFound || held.isEmpty();
}

void Module1::ReserveDocNo(QString &docNo, int flag)
{
    docNo = docNo.trimmed();
    // The prompt text is shown in the number box when no number is left; it is no number.
    if (docNo.isEmpty() || docNo == EnterDocNoText)
        return;
    if (IsDocNoFree(docNo))
        gDb.exec(QStringLiteral("insert into DanNo (DanF1,Flg,Other) values (?,?,?)"), {docNo, flag, gUserName});
}

void Module1::ReleaseDocNo(const QString &docNo)
{
    gDb.exec(QStringLiteral("delete from DanNo where DanF1=?"), {docNo.trimmed()});
}
