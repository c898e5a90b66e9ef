// The operators window, the personal settings and the system options.
#include "admin/OperatorWindow.h"
#include "admin/PersonalSettingsWindow.h"
#include "admin/SystemOptionsWindow.h"
#include "shell/WindowRegistry.h"

void registerOperatorWindows()
{
    windows::registerFactory(QStringLiteral("S1"), [](QWidget *parent) -> QWidget * { return new S1(parent); });
    windows::registerFactory(QStringLiteral("S2"), [](QWidget *parent) -> QWidget * { return new S2(parent); });
    windows::registerFactory(QStringLiteral("SysFuncSet"),
                             [](QWidget *parent) -> QWidget * { return new SysFuncSet(parent); });
}
