#include "Module1.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {
Module1 *gProgramModule = nullptr;
Module1 *gCurrentModule = nullptr;
} // namespace

Module1::Module1() = default;

Module1::~Module1()
{
    if (gCurrentModule == this)
        gCurrentModule = gProgramModule == this ? nullptr : gProgramModule;
    if (gProgramModule == this)
        gProgramModule = nullptr;
}

Module1 &Module1::instance()
{
    if (!gCurrentModule) {
        gProgramModule = new Module1;  // lives for the whole run
        gCurrentModule = gProgramModule;
    }
    return *gCurrentModule;
}

void Module1::setInstance(Module1 *module)
{
    gCurrentModule = module ? module : gProgramModule;
}

void Module1::ResetToDefaults()
{
    gAutoCreateReceivingUnit = 1;
    gUsePdan10Layout = 0;
    gVersion = QStringLiteral("9.69");
    ResetOptionsToDefaults();
}

void Module1::ResetOptionsToDefaults()
{
    gOptNoOverdraw = 0;
    gOptLockLinePrice = 0;
    gOptNoAverageCostUpdate = 0;
    gOptAbsoluteQuantities = 0;
    gOptSalePriceFactor = 0;
    gOptKeepPrices = 1;
    gOptAlarmLowAtStart = 0;
    gOptAlarmHighAtStart = 0;
    gOptAdminEditsStock = 0;
    gOptMoneyDecimals = 2;
    gOptAdminEditsOpening = 0;
    gMoneyFormat = MakeDecimalFormat(gOptMoneyDecimals);
}

QString Module1::GetSingleValue(const QString &sql, const QVariantList &params)
{
    if (!gDb.isOpen())
        return {};
    db::Statement st = gDb.prepare(sql);
    if (!st.isValid() || !st.bindAll(params))
        return {};
    if (!st.next())
        return st.hasError() ? QString() : NoFound;
    const QVariant value = st.value(0);
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        return numtext::numToText(value.toDouble());
    return value.toString();
}

bool Module1::EnsureDefaultRow(const QString &table, const QString &name)
{
    const QString first = GetSingleValue(QStringLiteral("select F1 from ") + table);
    if (first != NoFound && !first.isEmpty())
        return true;
    return gDb.exec(QStringLiteral("insert into ") + table + QStringLiteral(" (F1,F2) values ('001',?)"), {name});
}

void Module1::ShowBookNameInStatusBar()
{
    statusPanels_->setPanelText(4, gBookName);
}

void Module1::ShowLoadingInStatusBar()
{
    statusPanels_->setPanelText(4, QStringLiteral("请稍候，系统正在读入数据……"));
}

QString Module1::MakeDecimalFormat(int &digits)
{
    if (digits > 8)
        digits = 8;
    if (digits <= 0)
        return QStringLiteral("#0");
    return QStringLiteral("#0.") + QString(digits, QLatin1Char('0'));
}

QString Module1::NumToText(double value)
{
    return numtext::numToText(value);
}

double Module1::SubtractExact(double a, double b)
{
    // The numbers come from 15-digit texts: 10.3 - 0.1 gives 10.2, not
    // 10.200000000000001.
    return numtext::exactDifference(a, b);
}

QString Module1::GetPartnerName(const QString &code)
{
    QString s = code.trimmed();
    const int point = s.indexOf(QLatin1Char('.'));
    if (point >= 0)
        s = s.left(point);
    QString r = GetSingleValue(QStringLiteral("select F2 from Ta1 where F1=?"), {s});
    if (r == NoFound)
        r = GetSingleValue(QStringLiteral("select F2 from Ta2 where F1=?"), {s});
    return (r.isEmpty() || r == NoFound) ? s : r;
}

QString Module1::money(double value) const
{
    return numtext::formatNumber(value, gMoneyFormat);
}

void Module1::setStatusPanels(StatusPanels *panels)
{
    statusPanels_ = panels ? panels : &memoryPanels_;
}
