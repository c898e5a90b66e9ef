#pragma once

class QWidget;

namespace admin {

// Shows the backup window (sysDBbak) modally over parent, so the book can be
// backed up before data is changed.
void showBackupWindow(QWidget *parent);

} // namespace admin
