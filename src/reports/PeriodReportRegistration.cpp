// The period reports and the fiscal year-end.
#include "reports/BalanceReportWindow.h"
#include "reports/PeriodReportWindow.h"
#include "reports/YearEnd.h"
#include "shell/WindowRegistry.h"

void registerPeriodReportWindows()
{
    windows::registerFactory(QStringLiteral("C181"), [](QWidget *parent) -> QWidget * { return new C181(parent); });
    windows::registerFactory(QStringLiteral("C18"), [](QWidget *parent) -> QWidget * { return new C18(parent); });
    windows::registerFactory(QStringLiteral("YearEnd"),
                             [](QWidget *parent) -> QWidget * { return new YearEnd(nullptr, parent); });
}
