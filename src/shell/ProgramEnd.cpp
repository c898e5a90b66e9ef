#include "ProgramEnd.h"

#include <QCoreApplication>

namespace program {

namespace {
bool gEndRequested = false;
}

void endNow()
{
    gEndRequested = true;
    QCoreApplication::exit(0);
}

bool endRequested()
{
    return gEndRequested;
}

void clearEndRequest()
{
    gEndRequested = false;
}

} // namespace program
