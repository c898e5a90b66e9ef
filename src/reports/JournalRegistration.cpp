// The goods in/out journal, opened by the main menu by name.
#include "reports/C15.h"
#include "shell/WindowRegistry.h"

void registerJournalWindows()
{
    windows::registerFactory(QStringLiteral("C15"), [](QWidget *parent) -> QWidget * { return new C15(parent); });
}
