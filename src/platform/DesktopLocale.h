#pragma once

class QCoreApplication;

// Makes the program read as on a Chinese (China) desktop: Qt's own texts
// (standard buttons, print and file dialogs) from Qt's Chinese translations,
// and Chinese (China) as the default locale for numbers and short dates
// (2026/12/10). Returns false when Qt's translations are not installed; the
// locale is set either way.
bool InstallChineseDesktop(QCoreApplication &app);
