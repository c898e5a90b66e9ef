#include "FromExcel.h"
#include "S3.h"
#include "S302.h"
#include "S303.h"
#include "shell/WindowRegistry.h"

// Data initialisation and clearing (modal) and the goods import from Excel.
void registerDataWindows()
{
    windows::registerFactory(QStringLiteral("S3"), [](QWidget *parent) -> QWidget * { return new S3(parent); });
    windows::registerFactory(QStringLiteral("S302"), [](QWidget *parent) -> QWidget * { return new S302(parent); });
    windows::registerFactory(QStringLiteral("S303"), [](QWidget *parent) -> QWidget * { return new S303(parent); });
    windows::registerFactory(QStringLiteral("FromExcel"),
                             [](QWidget *parent) -> QWidget * { return new FromExcel(parent); });
}
