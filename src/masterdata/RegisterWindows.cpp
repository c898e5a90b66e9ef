// The master-data windows the main menu opens by name.
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataWindows.h"
#include "shell/WindowRegistry.h"

void register_masterdata_windows()
{
    windows::registerFactory(QStringLiteral("A1"), [](QWidget *parent) -> QWidget * { return new A1(parent); });
    windows::registerFactory(QStringLiteral("A2"), [](QWidget *parent) -> QWidget * { return new A2(parent); });
    windows::registerFactory(QStringLiteral("A3"), [](QWidget *parent) -> QWidget * { return new A3(parent); });
    windows::registerFactory(QStringLiteral("A4"), [](QWidget *parent) -> QWidget * { return new A4(parent); });
}
