#include "BackupLink.h"

#include "shell/ModalDialogs.h"
#include "shell/WindowRegistry.h"

#include <QDialog>
#include <QPointer>

namespace admin {

void showBackupWindow(QWidget *parent)
{
    QWidget *window = windows::create(QStringLiteral("sysDBbak"), parent);
    if (!window)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        QPointer<QDialog> guard(dialog);
        runModal(*dialog);
        delete guard.data();
        return;
    }
    window->show();
}

} // namespace admin
