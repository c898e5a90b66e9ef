#pragma once

#include <QIcon>

// The program's own icon for its windows: a blue warehouse tile with "仓".
QIcon ProgramIcon();
