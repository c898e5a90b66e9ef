// The document statistics window, opened by the main menu as "Lst".
#include "reports/Lst.h"
#include "shell/WindowRegistry.h"

void registerStatisticsWindows()
{
    windows::registerFactory(QStringLiteral("Lst"), [](QWidget *parent) -> QWidget * { return new Lst(parent); });
}
