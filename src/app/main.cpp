// The program: checks that a screen is there, then runs the start procedure.
#include "shell/ShellWindows.h"
#include "shell/Startup.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would die with a platform-plugin error; say what to do instead.
bool displayAvailable()
{
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

void registerAllWindows();

int main(int argc, char **argv)
{
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "没有可用的显示器：本程序是桌面程序，需要图形界面。\n"
                     "No display found: this is a desktop program and needs a screen.\n"
                     "On a machine without a screen, start it under a virtual one:\n"
                     "    xvfb-run -a %s [帐本文件]\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    register_shell_windows();  // placeholders first: the subsystems replace them
    registerAllWindows();
    return runProgram(app);
}
