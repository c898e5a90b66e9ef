#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>
#include <memory>

class QProgressBar;
class QProgressDialog;

// The progress of long work (a book copied, a report exported), called with
// the work done and the whole. Once the work has taken longer than half a
// second a modal progress dialog with the given title and text shows it, so a
// long task does not look like a program that hangs. Every call lets the
// screen repaint; the operator's clicks and keys wait until the work is done.
class DelayedProgress {
public:
    DelayedProgress(QString title, QString text);

    void operator()(qint64 done, qint64 total);

private:
    QString title_;
    QString text_;
    QElapsedTimer clock_;
    std::shared_ptr<QProgressDialog> dialog_;  // shared: the progress travels as a copyable function
    QProgressBar *bar_ = nullptr;              // the dialog's bar, owned by it
};
