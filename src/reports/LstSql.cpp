#include "LstSql.h"

#include "db/DateText.h"

namespace reports::statistics {

namespace {

const StatisticsKind kKinds[] = {
    {QStringLiteral("B2"), QStringLiteral("入库"), QStringLiteral("TB1"), QStringLiteral("TB11"), QStringLiteral("TA1")},
    {QStringLiteral("B4"), QStringLiteral("退货"), QStringLiteral("TB3"), QStringLiteral("TB31"), QStringLiteral("TA1")},
    {QStringLiteral("D2"), QStringLiteral("出库"), QStringLiteral("TD1"), QStringLiteral("TD11"), QStringLiteral("TA2")},
    {QStringLiteral("D4"), QStringLiteral("退库"), QStringLiteral("TD3"), QStringLiteral("TD31"), QStringLiteral("TA2")},
};

} // namespace

QString StatisticsKind::partyWord() const
{
    return partyTable == QLatin1String("TA1") ? QStringLiteral("供货") : QStringLiteral("出货");
}

const StatisticsKind *kindOf(const QString &code)
{
    for (const StatisticsKind &kind : kKinds)
        if (kind.code == code)
            return &kind;
    return nullptr;
}

QStringList gridCaptions(const StatisticsKind &kind)
{
    const QString party = kind.partyWord();
    return {kind.word + QStringLiteral("单号"),  kind.word + QStringLiteral("日期"), party + QStringLiteral("单位编码"),
            party + QStringLiteral("单位"),      QStringLiteral("单据附注"),         QStringLiteral("货品编码"),
            QStringLiteral("货品名称"),          QStringLiteral("规格"),             QStringLiteral("所属类别编码"),
            QStringLiteral("所属类别"),          QStringLiteral("单位"),             kind.word + QStringLiteral("数量"),
            kind.word + QStringLiteral("价格"),  QStringLiteral("金额"),             QStringLiteral("备注")};
}

// The joins are written as one chain of left joins from the header, so the
// engine walks the headers and reaches lines, goods and categories by their
// indexes, never building the joined lines of the whole table first.
QString baseStatement(const StatisticsKind &kind)
{
    const QString &h = kind.headTable;
    const QString &l = kind.lineTable;
    const QString &p = kind.partyTable;
    return QStringLiteral("select %1.F1,%1.F2,%1.F3,%3.F2 AS LB,%1.F10,%2.F1,TA4.F2,TA4.F5,TA4.F3,TA3.F2,TA4.F4,"
                          "%2.F6,%2.F7,%2.F6*%2.F7 AS je,%2.F8 "
                          "from %1 left join %3 on %1.F3=%3.F1 left join %2 on %2.F0=%1.F1 "
                          "left join TA4 on %2.F1=TA4.F1 left join TA3 on TA4.F3=TA3.F1 ")
        .arg(h, l, p);
}

QString documentsOnDayCondition(const StatisticsKind &kind)
{
    return db::onDayCondition(kind.headTable + QStringLiteral(".F2"));
}

QString auditedCondition(const StatisticsKind &kind)
{
    return QStringLiteral("(%1.F6 is not Null and %1.F6<>'')").arg(kind.headTable);
}

QString heldStatement(const StatisticsKind &kind, const QString &conditions)
{
    if (conditions.trimmed().isEmpty())
        return baseStatement(kind);
    return baseStatement(kind) + QStringLiteral(" Where (") + conditions + QStringLiteral(") ");
}

// The operator's conditions stand in parentheses, so an "or" among them
// cannot reach past the audited condition.
QString listStatement(const StatisticsKind &kind, const QString &held, bool heldHasConditions,
                      const QString &orderBy)
{
    return held + (heldHasConditions ? QStringLiteral(" and ") : QStringLiteral(" Where ")) + auditedCondition(kind) +
           QLatin1Char(' ') + orderBy;
}

QString sortOrder(const StatisticsKind &kind, int index)
{
    const QString &h = kind.headTable;
    const QString &l = kind.lineTable;
    switch (index) {
    case 1:
        return QStringLiteral("order by ") + h + QStringLiteral(".F3");
    case 2:
        return QStringLiteral("order by ") + l + QStringLiteral(".F1");
    case 3:
        return QStringLiteral("order by ") + l + QStringLiteral(".F6");
    case 4:
        return QStringLiteral("order by ") + l + QStringLiteral(".F7");
    case 5:
        return QStringLiteral("order by ") + l + QStringLiteral(".F6*") + l + QStringLiteral(".F7");
    default:
        return QStringLiteral("order by ") + h + QStringLiteral(".F2");
    }
}

QVector<QueryField> queryFields(const StatisticsKind &kind, const QStringList &c)
{
    const QString &h = kind.headTable;
    const QString &l = kind.lineTable;
    const QString text = QStringLiteral("0");
    const QString number = QStringLiteral("1");
    return {{c.value(0), h + QStringLiteral(".F1"), text},
            {c.value(1), h + QStringLiteral(".F2"), QStringLiteral("2")},
            {c.value(2), h + QStringLiteral(".F3"), text},
            {c.value(3) + QStringLiteral("名称"), kind.partyTable + QStringLiteral(".F2"), text},
            {c.value(4), h + QStringLiteral(".F10"), text},
            {c.value(5), l + QStringLiteral(".F1"), text},
            {c.value(6), QStringLiteral("TA4.F2"), text},
            {c.value(7), QStringLiteral("TA4.F5"), text},
            {c.value(8), QStringLiteral("TA4.F3"), text},
            {c.value(9), QStringLiteral("TA3.F2"), text},
            {c.value(10), QStringLiteral("TA4.F4"), text},
            {c.value(11), l + QStringLiteral(".F6"), number},
            {c.value(12), l + QStringLiteral(".F7"), number},
            {c.value(13), l + QStringLiteral(".F7*") + l + QStringLiteral(".F6"), number},
            {c.value(14), l + QStringLiteral(".F8"), text}};
}

QString lineListTitle(const StatisticsKind &kind)
{
    return kind.word + QStringLiteral("流水帐");
}

QString summaryTitle(const StatisticsKind &kind)
{
    return kind.word + QStringLiteral("统计表");
}

} // namespace reports::statistics
