#pragma once

#include <QString>
#include <functional>

class QWidget;

// The main menu and start-up open the windows of later subsystems through
// this registry, so the shell includes none of their headers. Each subsystem
// registers its factories in register_<folder>_windows() (see src/app).
namespace windows {

// Makes the window; parent is the main window's MDI area or the main window.
using Factory = std::function<QWidget *(QWidget *parent)>;

// A later registration under the same name replaces the earlier one.
void registerFactory(const QString &name, Factory factory);
bool has(const QString &name);
// nullptr when nothing is registered under name.
QWidget *create(const QString &name, QWidget *parent);

} // namespace windows
