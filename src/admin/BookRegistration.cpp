// The account-book windows: the book list, backup and restore.
#include "BookListWindow.h"
#include "S32.h"
#include "sysDBbak.h"
#include "shell/WindowRegistry.h"

void registerBookWindows()
{
    windows::registerFactory(QStringLiteral("ZbSet"), [](QWidget *parent) { return new BookListWindow(parent); });
    windows::registerFactory(QStringLiteral("sysDBbak"), [](QWidget *parent) { return new sysDBbak(parent); });
    windows::registerFactory(QStringLiteral("S32"), [](QWidget *parent) { return new S32(parent); });
}
