#include "documents/DocumentWindow.h"
#include "documents/OutboundKinds.h"
#include "documents/StocktakingKind.h"
#include "shell/WindowRegistry.h"

// The document windows the main menu opens by name.
void register_documents_windows()
{
    windows::registerFactory(QStringLiteral("B1"), [](QWidget *parent) -> QWidget * {
        return new documents::DocumentWindow(documents::stockInNoteKind(), parent);
    });
    windows::registerFactory(QStringLiteral("B3"), [](QWidget *parent) -> QWidget * {
        return new documents::DocumentWindow(documents::supplierReturnNoteKind(), parent);
    });
    windows::registerFactory(QStringLiteral("D1"), [](QWidget *parent) -> QWidget * {
        return new documents::DocumentWindow(documents::stockOutNoteKind(), parent);
    });
    windows::registerFactory(QStringLiteral("D3"), [](QWidget *parent) -> QWidget * {
        return new documents::DocumentWindow(documents::returnInNoteKind(), parent);
    });
    windows::registerFactory(QStringLiteral("C2"), [](QWidget *parent) -> QWidget * {
        return new documents::DocumentWindow(documents::stocktakingNoteKind(), parent);
    });
}
