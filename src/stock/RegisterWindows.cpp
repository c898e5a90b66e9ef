// The stock windows the main menu and start-up open by name.
#include "shell/WindowRegistry.h"
#include "stock/StockList.h"
#include "stock/StocktakingReport.h"

void register_stock_windows()
{
    windows::registerFactory(QStringLiteral("C1"), [](QWidget *parent) -> QWidget * { return new C1(parent); });
    windows::registerFactory(QStringLiteral("C3"), [](QWidget *parent) -> QWidget * { return new C3(parent); });
}
