#include "Startup.h"
#include "Module1.h"

#include <QApplication>
#include <QMainWindow>

int runProgram(QApplication &app)
{
    Module1 &m = Module1::instance();
    m.ResetToDefaults();
    m.gAppPath = QApplication::applicationDirPath() + QLatin1Char('/');
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("货品进出存管理系统 ") + m.gVersion);
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
