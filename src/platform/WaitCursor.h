#pragma once

#include <QCursor>
#include <QGuiApplication>

// The hourglass pointer while long work runs (a copy, a list read, a print
// staged); the normal one again however the work ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
